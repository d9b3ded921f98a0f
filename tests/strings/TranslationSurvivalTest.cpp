// update_translations runs lupdate over the sources; a text lupdate cannot see (hidden
// behind a macro, or in a file it is not given) comes out "vanished", and the next run
// with -no-obsolete or a cleanup loses its translation. This runs the same lupdate over a
// copy of the same sources and translation files and compares.
#include <unistd.h>

#include <QFile>
#include <QProcess>
#include <QXmlStreamReader>
#include <filesystem>
#include <fstream>
#include <map>
#include <string>
#include <vector>

#include <gtest/gtest.h>

namespace {

namespace fs = std::filesystem;

struct Translation {
    std::string text;
    std::string type;  // empty when finished; "unfinished", "vanished", "obsolete"
};
// (context, source) -> translation
using Messages = std::map<std::pair<std::string, std::string>, Translation>;

Messages ReadMessages(const fs::path& tsFile) {
    Messages messages;
    QFile file(QString::fromStdString(tsFile.string()));
    if (!file.open(QIODevice::ReadOnly)) return messages;
    QXmlStreamReader xml(&file);
    std::string context, source;
    while (xml.readNextStartElement() || !xml.atEnd()) {
        if (!xml.isStartElement()) continue;
        const auto name = xml.name();
        if (name == u"TS" || name == u"context" || name == u"message") continue;
        if (name == u"name") {
            context = xml.readElementText().toStdString();
        } else if (name == u"source") {
            source = xml.readElementText().toStdString();
        } else if (name == u"translation") {
            Translation translation;
            translation.type =
                xml.attributes().value(QStringLiteral("type")).toString().toStdString();
            translation.text = xml.readElementText().toStdString();
            messages[{context, source}] = translation;
        } else {
            xml.skipCurrentElement();
        }
    }
    return messages;
}

std::vector<std::string> ReadLines(const char* listFile) {
    std::vector<std::string> lines;
    std::ifstream in(listFile);
    for (std::string line; std::getline(in, line);) {
        if (!line.empty()) lines.push_back(line);
    }
    return lines;
}

class ScratchTree {
public:
    ScratchTree() {
        char pattern[] = "/tmp/tralvo-lupdate-XXXXXX";
        m_root = mkdtemp(pattern) ? pattern : "";
    }
    ~ScratchTree() {
        std::error_code ignored;
        if (!m_root.empty()) fs::remove_all(m_root, ignored);
    }
    // Copies a file of the source tree to the same place under the scratch tree.
    fs::path Copy(const std::string& relative) const {
        const fs::path target = m_root / relative;
        fs::create_directories(target.parent_path());
        fs::copy_file(fs::path(TRALVO_SOURCE_DIR) / relative, target);
        return target;
    }
    const fs::path& root() const { return m_root; }

private:
    fs::path m_root;
};

TEST(Translations, LupdateKeepsEveryTranslatedMessage) {
    if (access(TRALVO_LUPDATE, X_OK) != 0) GTEST_SKIP() << "lupdate is not installed";
    const auto sources = ReadLines(TRALVO_TRANSLATION_SOURCES_LIST);
    const auto tsFiles = ReadLines(TRALVO_TRANSLATION_FILES_LIST);
    ASSERT_FALSE(sources.empty());
    ASSERT_FALSE(tsFiles.empty());

    ScratchTree tree;
    QStringList args = {QStringLiteral("-silent"), QStringLiteral("-locations"),
                        QStringLiteral("none"), QStringLiteral("-I"),
                        QString::fromStdString(tree.root().string())};
    for (const auto& source : sources) {
        args << QString::fromStdString(tree.Copy(source).string());
    }
    args << QStringLiteral("-ts");
    for (const auto& ts : tsFiles) args << QString::fromStdString(tree.Copy(ts).string());
    QProcess lupdate;
    lupdate.start(QStringLiteral(TRALVO_LUPDATE), args);
    ASSERT_TRUE(lupdate.waitForFinished(60000));
    ASSERT_EQ(lupdate.exitStatus(), QProcess::NormalExit);
    ASSERT_EQ(lupdate.exitCode(), 0) << lupdate.readAllStandardError().toStdString();

    for (const auto& ts : tsFiles) {
        const Messages before = ReadMessages(fs::path(TRALVO_SOURCE_DIR) / ts);
        const Messages after = ReadMessages(tree.root() / ts);
        size_t translatedBefore = 0;
        size_t translatedAfter = 0;
        for (const auto& [key, translation] : before) {
            if (!translation.type.empty() || translation.text.empty()) continue;
            ++translatedBefore;
            const auto kept = after.find(key);
            ASSERT_NE(kept, after.end()) << ts << ": " << key.first << " / " << key.second;
            EXPECT_EQ(kept->second.type, "") << ts << ": " << key.first << " / " << key.second;
            EXPECT_EQ(kept->second.text, translation.text) << key.second;
        }
        for (const auto& [key, translation] : after) {
            if (translation.type.empty() && !translation.text.empty()) ++translatedAfter;
            EXPECT_NE(translation.type, "vanished") << ts << ": " << key.second;
            EXPECT_NE(translation.type, "obsolete") << ts << ": " << key.second;
        }
        EXPECT_GT(translatedBefore, 0u) << ts;
        EXPECT_EQ(translatedAfter, translatedBefore) << ts;
    }
}

}  // namespace
