// The scripted prompter is what every window test trusts to catch a wrong message: it must
// fail the test on a wrong kind, text or caption, on an unexpected prompt and on a prompt that
// never came.
#include <gtest/gtest-spi.h>
#include <gtest/gtest.h>

#include "tests/support/scripted_prompter.h"
#include "ui/texts.h"

namespace {

TEST(ScriptedPrompter, AnswersAsScripted) {
    ScriptedPrompter prompter;
    prompter.ExpectRetryCancel(QStringLiteral("a"), true)
        .ExpectQuestion(QStringLiteral("b"), false)
        .ExpectOkCancel(QStringLiteral("c"), true, QStringLiteral("cap"))
        .ExpectInformation(QStringLiteral("d"))
        .ExpectPlainMessage(QStringLiteral("e"));
    EXPECT_TRUE(prompter.RetryCancel(QStringLiteral("a"), texts::kPromptCaption));
    EXPECT_FALSE(prompter.Question(QStringLiteral("b"), texts::kPromptCaption));
    EXPECT_TRUE(prompter.OkCancel(QStringLiteral("c"), QStringLiteral("cap")));
    prompter.Information(QStringLiteral("d"), texts::kPromptCaption);
    prompter.PlainMessage(QStringLiteral("e"));
    EXPECT_EQ(prompter.Shown().size(), 5u);
}

TEST(ScriptedPrompter, FailsTheTestOnEveryMismatch) {
    EXPECT_NONFATAL_FAILURE(
        {
            ScriptedPrompter p;
            p.ExpectRetryCancel(QStringLiteral("a"), true);
            // A wrong kind is answered "no", so that a waiting loop ends.
            EXPECT_FALSE(p.OkCancel(QStringLiteral("a"), texts::kPromptCaption));
        },
        "prompt mismatch");
    EXPECT_NONFATAL_FAILURE(
        {
            ScriptedPrompter p;
            p.ExpectInformation(QStringLiteral("a"));
            p.Information(QStringLiteral("a "), texts::kPromptCaption);
        },
        "prompt mismatch");
    EXPECT_NONFATAL_FAILURE(
        {
            ScriptedPrompter p;
            p.ExpectInformation(QStringLiteral("a"));
            p.Information(QStringLiteral("a"), QStringLiteral("其他"));
        },
        "prompt mismatch");
    EXPECT_NONFATAL_FAILURE(
        {
            ScriptedPrompter p;
            p.PlainMessage(QStringLiteral("x"));
        },
        "unexpected prompt");
    EXPECT_NONFATAL_FAILURE(
        {
            ScriptedPrompter p;
            p.ExpectQuestion(QStringLiteral("x"), true);
        },
        "never shown");
}

}  // namespace
