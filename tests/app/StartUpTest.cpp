// The home folder laid out on first start: the folders, and the default
// templates copied from beside the executable without touching what the
// operator has.

#include "app/StartUp.h"

#include "support/TestSupport.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QTemporaryDir>
#include <gtest/gtest.h>

namespace mirel::app {
namespace {

using test::readFile;
using test::writeFile;

TEST(StartUpTest, HomeFolderGetsItsFoldersAndTheMissingTemplates) {
    QTemporaryDir dir;
    const QString shipped = dir.filePath(QStringLiteral("bin/模板"));
    const QString home = dir.filePath(QStringLiteral("home"));
    QDir().mkpath(shipped);
    writeFile(shipped + QStringLiteral("/infoNO.frf"), "shipped label");
    writeFile(shipped + QStringLiteral("/货架.frf"), "shelf label");
    QFile::setPermissions(shipped + QStringLiteral("/货架.frf"), QFile::ReadOwner | QFile::ReadGroup);

    EXPECT_EQ(prepareHomeFolder(home, shipped), (QStringList{"infoNO.frf", "货架.frf"}));
    EXPECT_TRUE(QFileInfo(home + QStringLiteral("/db")).isDir());
    EXPECT_EQ(readFile(home + QStringLiteral("/模板/货架.frf")), "shelf label");
    // A template shipped read-only can be edited once it is the operator's.
    EXPECT_TRUE(QFileInfo(home + QStringLiteral("/模板/货架.frf")).isWritable());
    EXPECT_FALSE(QFileInfo::exists(home + QStringLiteral("/模板/货架.frf.part")));

    // The next start keeps the operator's edits and copies only what is new.
    writeFile(home + QStringLiteral("/模板/infoNO.frf"), "edited");
    writeFile(shipped + QStringLiteral("/new.frf"), "new label");
    EXPECT_EQ(prepareHomeFolder(home, shipped), QStringList{"new.frf"});
    EXPECT_EQ(readFile(home + QStringLiteral("/模板/infoNO.frf")), "edited");

    // Home beside the executable, and no shipped templates at all: folders only.
    EXPECT_TRUE(prepareHomeFolder(dir.filePath(QStringLiteral("bin")), shipped).isEmpty());
    const QString bare = dir.filePath(QStringLiteral("bare"));
    EXPECT_TRUE(prepareHomeFolder(bare, dir.filePath(QStringLiteral("nothing/模板"))).isEmpty());
    EXPECT_TRUE(QFileInfo(bare + QStringLiteral("/模板")).isDir());
    EXPECT_TRUE(QFileInfo(bare + QStringLiteral("/db")).isDir());
}

} // namespace
} // namespace mirel::app
