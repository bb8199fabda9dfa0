#pragma once
// A Prompter that runs a test's action while a box is "open" (before the box is answered) and
// then lets another Prompter, usually a ScriptedPrompter, answer it: for what a user or the
// remote does while a box waits, such as plugging the remote back or closing the window.

#include <functional>
#include <utility>

#include "platform/prompter.h"

class HookedPrompter final : public Prompter {
  public:
    // Runs with the box's text, before answer answers it.
    using Hook = std::function<void(const QString& text)>;

    explicit HookedPrompter(Prompter& answer) : answer_(answer) {}
    void SetHook(Hook hook) { hook_ = std::move(hook); }

    void Information(const QString& text, const QString& caption) override {
        Run(text);
        answer_.Information(text, caption);
    }
    bool Question(const QString& text, const QString& caption) override {
        Run(text);
        return answer_.Question(text, caption);
    }
    bool RetryCancel(const QString& text, const QString& caption) override {
        Run(text);
        return answer_.RetryCancel(text, caption);
    }
    bool OkCancel(const QString& text, const QString& caption) override {
        Run(text);
        return answer_.OkCancel(text, caption);
    }
    void PlainMessage(const QString& text) override {
        Run(text);
        answer_.PlainMessage(text);
    }

  private:
    void Run(const QString& text) {
        if (hook_)
            hook_(text);
    }

    Prompter& answer_;
    Hook hook_;
};
