#include "core/Files.h"
#include "core/HomeFolder.h"

#include "support/TestSupport.h"

#include <QDir>
#include <QFile>
#include <QTemporaryDir>
#include <gtest/gtest.h>

using namespace mirel::core;

TEST(Files, AtomicWriteCreatesAndReplaces) {
    QTemporaryDir dir;
    const QString path = dir.filePath(QStringLiteral("system.ini"));
    writeFileAtomically(path, "first");
    EXPECT_EQ(readFileBytes(path), "first");
    writeFileAtomically(path, std::string("second\0x", 8));
    EXPECT_EQ(readFileBytes(path), std::string("second\0x", 8));
    // No temporary file is left beside it.
    EXPECT_EQ(QDir(dir.path()).entryList(QDir::Files), QStringList{QStringLiteral("system.ini")});
}

TEST(Files, AtomicWriteIntoMissingFolderFailsCleanly) {
    QTemporaryDir dir;
    const QString path = dir.filePath(QStringLiteral("no/such/folder/file.txt"));
    EXPECT_THROW(writeFileAtomically(path, "x"), FileError);
    EXPECT_FALSE(QFile::exists(path));
}

TEST(Files, ReadingAMissingFileNamesIt) {
    try {
        readFileBytes(QStringLiteral("/nonexistent/dbno.csh"));
        FAIL();
    } catch (const FileError& e) {
        EXPECT_NE(std::string(e.what()).find("/nonexistent/dbno.csh"), std::string::npos);
    }
}

TEST(HomeFolder, DefaultsToTheExecutableFolderAndCanBeOverridden) {
    setHomeFolderOverride(QString());
    qunsetenv("MIREL_HOME");
    EXPECT_EQ(homeFolder(), executableFolder());   // the test folder is writable
    QTemporaryDir dir;
    setHomeFolderOverride(dir.path());
    EXPECT_EQ(homePath(QStringLiteral("system.ini")), QDir(dir.path()).absolutePath() + QStringLiteral("/system.ini"));
    setHomeFolderOverride(QString());
    qputenv("MIREL_HOME", dir.path().toUtf8());
    EXPECT_EQ(homeFolder(), QDir(dir.path()).absolutePath());
    qunsetenv("MIREL_HOME");
}
