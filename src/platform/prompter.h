#pragma once
// The one way the program asks the user something. Start-up, releasing codes and the link
// monitor ask through it without knowing about widgets; the program answers with real message
// boxes, tests with a script that checks every text and caption.

#include <QString>

class Prompter {
  public:
    virtual ~Prompter() = default;

    // Information box with one OK button.
    virtual void Information(const QString& text, const QString& caption) = 0;
    // Question with Yes and No; true for Yes.
    virtual bool Question(const QString& text, const QString& caption) = 0;
    // Retry and Cancel; true for Retry.
    virtual bool RetryCancel(const QString& text, const QString& caption) = 0;
    // OK and Cancel; true for OK.
    virtual bool OkCancel(const QString& text, const QString& caption) = 0;
    // The platform's plain message: OK only, the application's title as caption.
    virtual void PlainMessage(const QString& text) = 0;
};
