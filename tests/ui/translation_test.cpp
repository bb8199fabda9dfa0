// The English translation, read from its .ts file: every text the code has is in it, every one
// has a finished English translation without a Chinese character, with the parts the program
// puts in (%1, %2) and the line breaks and leading spaces the layout counts on; and the .qm
// beside the program says what the .ts says.
#include <gtest/gtest.h>

#include <QFile>
#include <QProcess>
#include <QRegularExpression>
#include <QSet>
#include <QTemporaryDir>
#include <QTranslator>
#include <QXmlStreamReader>
#include <vector>

#include "tests/support/chinese_characters.h"

namespace {

struct Message {
    QString context;
    QString source;
    QString translation;
    QString type;  // "unfinished", "vanished", "obsolete" or empty for a finished one
};

std::vector<Message> ReadTs(const QString& path) {
    std::vector<Message> messages;
    QFile file(path);
    if (!file.open(QIODevice::ReadOnly)) {
        ADD_FAILURE() << "cannot read " << path.toStdString();
        return messages;
    }
    QXmlStreamReader xml(&file);
    QString context;
    Message message;
    while (!xml.atEnd()) {
        if (xml.readNext() != QXmlStreamReader::StartElement)
            continue;
        if (xml.name() == QLatin1String("TS") || xml.name() == QLatin1String("context") ||
            xml.name() == QLatin1String("message"))
            continue;  // their children are read in turn
        if (xml.name() == QLatin1String("name")) {
            context = xml.readElementText();
        } else if (xml.name() == QLatin1String("source")) {
            message = {context, xml.readElementText(), {}, {}};
        } else if (xml.name() == QLatin1String("translation")) {
            message.type = xml.attributes().value(QLatin1String("type")).toString();
            message.translation = xml.readElementText();
            messages.push_back(message);
        } else {
            xml.skipCurrentElement();
        }
    }
    EXPECT_FALSE(xml.hasError()) << xml.errorString().toStdString();
    return messages;
}

QStringList Placeholders(const QString& text) {
    static const QRegularExpression placeholder(QStringLiteral("%\\d"));
    QStringList found;
    for (const auto& match : placeholder.globalMatch(text))
        found << match.captured();
    found.sort();
    found.removeDuplicates();
    return found;
}

const QString kTsFile = QStringLiteral(KEYLEARN_ENGLISH_TS);

TEST(EnglishTranslation, EveryTextHasAFinishedEnglishTranslation) {
    const std::vector<Message> messages = ReadTs(kTsFile);
    ASSERT_FALSE(messages.empty());
    for (const Message& m : messages) {
        SCOPED_TRACE(m.source.toStdString());
        EXPECT_TRUE(m.type.isEmpty()) << "translation " << m.type.toStdString();
        EXPECT_FALSE(m.translation.trimmed().isEmpty());
        EXPECT_FALSE(HasChineseCharacter(m.translation)) << m.translation.toStdString();
        EXPECT_EQ(Placeholders(m.translation), Placeholders(m.source));
        EXPECT_EQ(m.translation.count(QLatin1Char('\n')), m.source.count(QLatin1Char('\n')));
        EXPECT_EQ(m.translation.startsWith(QLatin1Char(' ')),
                  m.source.startsWith(QLatin1Char(' ')));
    }
}

// lupdate reads the code as the translation file was made from: a text added to the code and
// not to the file, or left in the file after the code dropped it, fails here.
TEST(EnglishTranslation, HoldsExactlyTheTextsOfTheCode) {
    QTemporaryDir folder;
    const QString fresh = folder.filePath(QStringLiteral("fresh.ts"));
    QProcess lupdate;
    lupdate.start(QStringLiteral(KEYLEARN_LUPDATE),
                  {QStringLiteral("-silent"), QStringLiteral("-locations"), QStringLiteral("none"),
                   QStringLiteral("-source-language"), QStringLiteral("zh_CN"),
                   QStringLiteral(KEYLEARN_SOURCE_DIR "/src"),
                   QStringLiteral(KEYLEARN_SOURCE_DIR "/skins"), QStringLiteral("-ts"), fresh});
    ASSERT_TRUE(lupdate.waitForFinished(60000));
    ASSERT_EQ(lupdate.exitCode(), 0) << lupdate.readAllStandardError().toStdString();
    const auto keys = [](const std::vector<Message>& messages) {
        QSet<QString> set;
        for (const Message& m : messages)
            if (m.type != QLatin1String("vanished") && m.type != QLatin1String("obsolete"))
                set.insert(m.context + QLatin1Char('|') + m.source);
        return set;
    };
    const QSet<QString> inCode = keys(ReadTs(fresh));
    const QSet<QString> inFile = keys(ReadTs(kTsFile));
    ASSERT_FALSE(inCode.isEmpty());
    for (const QString& text : inCode - inFile)
        ADD_FAILURE() << "not in the translation file: " << text.toStdString();
    for (const QString& text : inFile - inCode)
        ADD_FAILURE() << "no longer in the code: " << text.toStdString();
}

TEST(EnglishTranslation, TheBuiltTranslationSaysWhatTheFileSays) {
    QTranslator translator;
    ASSERT_TRUE(
        translator.load(QStringLiteral("keylearn_en"), QStringLiteral(KEYLEARN_PROGRAM_FOLDER)));
    for (const Message& m : ReadTs(kTsFile))
        EXPECT_EQ(
            translator.translate(m.context.toUtf8().constData(), m.source.toUtf8().constData()),
            m.translation)
            << m.source.toStdString();
}

}  // namespace
