#pragma once
// The program's prompts: modal QMessageBox dialogs with exactly the buttons each kind of
// question offers.

#include "platform/prompter.h"

class QWidget;

class MessageBoxPrompter final : public Prompter {
  public:
    // The boxes are centred over parent, or on the screen when there is none.
    explicit MessageBoxPrompter(QWidget* parent = nullptr) : parent_(parent) {}
    void SetParent(QWidget* parent) { parent_ = parent; }

    void Information(const QString& text, const QString& caption) override;
    bool Question(const QString& text, const QString& caption) override;
    bool RetryCancel(const QString& text, const QString& caption) override;
    bool OkCancel(const QString& text, const QString& caption) override;
    void PlainMessage(const QString& text) override;

  private:
    QWidget* parent_;
};
