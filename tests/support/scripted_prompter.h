#pragma once
// A Prompter for tests: it is told the prompts to expect, in order, with their exact texts and
// captions and the answer to give. Any other prompt, a prompt of another kind, text or caption,
// and an expected prompt that never came fail the running test. An unexpected prompt is
// answered with No/Cancel, so that a loop waiting for Retry or OK ends.

#include <QString>
#include <deque>
#include <mutex>
#include <string>
#include <vector>

#include "platform/prompter.h"
#include "ui/texts.h"

class ScriptedPrompter final : public Prompter {
  public:
    enum class Kind { kInformation, kQuestion, kRetryCancel, kOkCancel, kPlainMessage };

    struct Prompt {
        Kind kind;
        QString text;
        QString caption;
        bool answer = false;  // Yes, Retry, OK
    };

    ScriptedPrompter() = default;
    // Fails the test for every expected prompt that was not shown.
    ~ScriptedPrompter() override;

    ScriptedPrompter& ExpectInformation(const QString& text,
                                        const QString& caption = texts::kPromptCaption);
    ScriptedPrompter& ExpectQuestion(const QString& text, bool yes,
                                     const QString& caption = texts::kPromptCaption);
    ScriptedPrompter& ExpectRetryCancel(const QString& text, bool retry,
                                        const QString& caption = texts::kPromptCaption);
    ScriptedPrompter& ExpectOkCancel(const QString& text, bool ok,
                                     const QString& caption = texts::kPromptCaption);
    ScriptedPrompter& ExpectPlainMessage(const QString& text);

    // Fails the test for each expected prompt not yet shown, and forgets them.
    void VerifyAllShown();
    // Every prompt shown so far, expected or not, in order.
    std::vector<Prompt> Shown() const;

    void Information(const QString& text, const QString& caption) override;
    bool Question(const QString& text, const QString& caption) override;
    bool RetryCancel(const QString& text, const QString& caption) override;
    bool OkCancel(const QString& text, const QString& caption) override;
    void PlainMessage(const QString& text) override;

  private:
    bool Answer(Kind kind, const QString& text, const QString& caption);

    // Guards the script and the log: a prompt may come from a thread the test does not run on.
    mutable std::mutex mutex_;
    std::deque<Prompt> expected_;
    std::vector<Prompt> shown_;
};

// The name of a kind, for failure messages.
std::string PromptKindName(ScriptedPrompter::Kind kind);
