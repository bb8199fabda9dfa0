#include "tests/support/scripted_prompter.h"

#include <gtest/gtest.h>

#include <QLocale>

#include "tests/support/chinese_characters.h"

std::string PromptKindName(ScriptedPrompter::Kind kind) {
    switch (kind) {
        case ScriptedPrompter::Kind::kInformation:
            return "information";
        case ScriptedPrompter::Kind::kQuestion:
            return "question";
        case ScriptedPrompter::Kind::kRetryCancel:
            return "retry/cancel";
        case ScriptedPrompter::Kind::kOkCancel:
            return "ok/cancel";
        case ScriptedPrompter::Kind::kPlainMessage:
            return "plain message";
    }
    return "?";
}

namespace {

std::string Describe(const ScriptedPrompter::Prompt& p) {
    return PromptKindName(p.kind) + " \"" + p.text.toStdString() + "\" captioned \"" +
           p.caption.toStdString() + "\"";
}

}  // namespace

ScriptedPrompter::~ScriptedPrompter() {
    VerifyAllShown();
}

ScriptedPrompter& ScriptedPrompter::ExpectInformation(const QString& text, const QString& caption) {
    std::lock_guard lock(mutex_);
    expected_.push_back({Kind::kInformation, text, caption, true});
    return *this;
}

ScriptedPrompter& ScriptedPrompter::ExpectQuestion(const QString& text, bool yes,
                                                   const QString& caption) {
    std::lock_guard lock(mutex_);
    expected_.push_back({Kind::kQuestion, text, caption, yes});
    return *this;
}

ScriptedPrompter& ScriptedPrompter::ExpectRetryCancel(const QString& text, bool retry,
                                                      const QString& caption) {
    std::lock_guard lock(mutex_);
    expected_.push_back({Kind::kRetryCancel, text, caption, retry});
    return *this;
}

ScriptedPrompter& ScriptedPrompter::ExpectOkCancel(const QString& text, bool ok,
                                                   const QString& caption) {
    std::lock_guard lock(mutex_);
    expected_.push_back({Kind::kOkCancel, text, caption, ok});
    return *this;
}

ScriptedPrompter& ScriptedPrompter::ExpectPlainMessage(const QString& text) {
    std::lock_guard lock(mutex_);
    expected_.push_back({Kind::kPlainMessage, text, texts::kApplicationTitle, true});
    return *this;
}

void ScriptedPrompter::VerifyAllShown() {
    std::lock_guard lock(mutex_);
    for (const Prompt& p : expected_)
        ADD_FAILURE() << "expected prompt never shown: " << Describe(p);
    expected_.clear();
}

std::vector<ScriptedPrompter::Prompt> ScriptedPrompter::Shown() const {
    std::lock_guard lock(mutex_);
    return shown_;
}

bool ScriptedPrompter::Answer(Kind kind, const QString& text, const QString& caption) {
    std::lock_guard lock(mutex_);
    const Prompt actual{kind, text, caption, false};
    shown_.push_back(actual);
    // A test run in English (the default locale's language) sees every box in English.
    if (QLocale().language() == QLocale::English) {
        EXPECT_FALSE(HasChineseCharacter(text + caption)) << "Chinese in " << Describe(actual);
    }
    if (expected_.empty()) {
        ADD_FAILURE() << "unexpected prompt: " << Describe(actual);
        return false;
    }
    const Prompt wanted = expected_.front();
    expected_.pop_front();
    if (wanted.kind != kind || wanted.text != text || wanted.caption != caption) {
        ADD_FAILURE() << "prompt mismatch\n  expected: " << Describe(wanted)
                      << "\n  shown:    " << Describe(actual);
        return false;
    }
    shown_.back().answer = wanted.answer;
    return wanted.answer;
}

void ScriptedPrompter::Information(const QString& text, const QString& caption) {
    Answer(Kind::kInformation, text, caption);
}

bool ScriptedPrompter::Question(const QString& text, const QString& caption) {
    return Answer(Kind::kQuestion, text, caption);
}

bool ScriptedPrompter::RetryCancel(const QString& text, const QString& caption) {
    return Answer(Kind::kRetryCancel, text, caption);
}

bool ScriptedPrompter::OkCancel(const QString& text, const QString& caption) {
    return Answer(Kind::kOkCancel, text, caption);
}

void ScriptedPrompter::PlainMessage(const QString& text) {
    Answer(Kind::kPlainMessage, text, texts::kApplicationTitle);
}
