// mirel-cli template dump and convert, run as a program.

#include "template/BuiltinViews.h"
#include "template/PreparedReport.h"
#include "template/TfrReport.h"

#include "Fixture.h"
#include "support/TestSupport.h"

#include <QJsonArray>
#include <QJsonDocument>
#include <QJsonObject>
#include <QTemporaryDir>
#include <gtest/gtest.h>

using namespace mirel::tmpl;
using namespace mirel::tmpl::test;
using mirel::test::ansi;
using mirel::test::runProgram;
using mirel::test::writeFile;

namespace {

QJsonObject parse(const std::string& out) {
    QJsonParseError error;
    const QJsonDocument doc = QJsonDocument::fromJson(QByteArray::fromStdString(out), &error);
    EXPECT_EQ(error.error, QJsonParseError::NoError) << out;
    return doc.object();
}

QStringList dump(const QString& path) { return {QStringLiteral("template"), QStringLiteral("dump"), path}; }

std::string labelTemplate(bool protect) {
    TfrReport report;
    report.Pages.Add();
    auto memo = std::make_unique<TfrMemoView>();
    memo->Name = "Memo1";
    memo->Memo = {ansi("编号 [条形码编号]")};
    report.Pages[0].Objects.push_back(std::move(memo));
    auto picture = std::make_unique<TfrPictureView>();
    picture->Name = "Picture1";
    picture->GraphicKind = 4;
    picture->Graphic = std::string(123, 'j');
    report.Pages[0].Objects.push_back(std::move(picture));
    report.Dictionary.Variables = {{ansi(" 类"), ""}, {"v", "[no]"}};
    report.CreateDate = 36526.5;   // 2000-01-01 12:00
    report.Password = "secret";
    report.PasswordProtected = protect ? 1 : 0;
    return report.SaveToBytes();
}

} // namespace

TEST(TemplateCli, DumpPrintsTheTemplate) {
    QTemporaryDir dir;
    const QString path = dir.filePath(QStringLiteral("label.frf"));
    writeFile(path, labelTemplate(false));
    const auto r = runProgram(dump(path));
    EXPECT_EQ(r.exitCode, 0) << r.err;
    const QJsonObject json = parse(r.out);
    EXPECT_EQ(json[QStringLiteral("header")][QStringLiteral("version")].toInt(), 25);
    EXPECT_EQ(json[QStringLiteral("header")][QStringLiteral("printerName")].toString(), QStringLiteral("虚拟打印机"));
    const QJsonArray pages = json[QStringLiteral("pages")].toArray();
    ASSERT_EQ(pages.size(), 1);
    const QJsonObject page = pages[0].toObject();
    EXPECT_EQ(page[QStringLiteral("name")].toString(), QStringLiteral("Page1"));
    EXPECT_EQ(page[QStringLiteral("paperWidth")].toInt(), 2100);
    const QJsonArray objects = page[QStringLiteral("objects")].toArray();
    ASSERT_EQ(objects.size(), 2);
    const QJsonObject memo = objects[0].toObject();
    EXPECT_EQ(memo[QStringLiteral("className")].toString(), QStringLiteral("TfrMemoView"));
    EXPECT_EQ(memo[QStringLiteral("typeCode")].toInt(), 0);
    EXPECT_EQ(memo[QStringLiteral("memo")].toArray()[0].toString(), QStringLiteral("编号 [条形码编号]"));
    EXPECT_EQ(memo[QStringLiteral("fontName")].toString(), QStringLiteral("Arial"));
    const QJsonObject picture = objects[1].toObject();
    EXPECT_EQ(picture[QStringLiteral("typeCode")].toInt(), 1);
    EXPECT_EQ(picture[QStringLiteral("graphicBytes")].toInt(), 123);
    const QJsonObject dictionary = json[QStringLiteral("dictionary")].toObject();
    EXPECT_EQ(dictionary[QStringLiteral("variables")].toArray()[0].toObject()[QStringLiteral("name")].toString(),
              QStringLiteral(" 类"));
    const QJsonObject info = json[QStringLiteral("information")].toObject();
    EXPECT_EQ(info[QStringLiteral("created")].toString(), QStringLiteral("2000-01-01T12:00:00.000"));
    EXPECT_EQ(info[QStringLiteral("generatorVersion")].toInt(), 88);
}

TEST(TemplateCli, DumpWithMessagesExitsThree) {
    QTemporaryDir dir;
    // A newer format: the message on stderr, the resulting state still printed.
    const QString newer = dir.filePath(QStringLiteral("newer.frf"));
    writeFile(newer, "\x1A\x00\x00");
    auto r = runProgram(dump(newer));
    EXPECT_EQ(r.exitCode, 3);
    EXPECT_NE(r.err.find("不支持的FRF格式"), std::string::npos);
    EXPECT_TRUE(parse(r.out).contains(QStringLiteral("pages")));

    // A password-protected template: no password, a wrong one, the right one.
    const QString locked = dir.filePath(QStringLiteral("locked.frf"));
    writeFile(locked, labelTemplate(true));
    r = runProgram(dump(locked));
    EXPECT_EQ(r.exitCode, 3);
    EXPECT_NE(r.err.find("--password"), std::string::npos);
    EXPECT_TRUE(parse(r.out)[QStringLiteral("pages")].toArray()[0].toObject()[QStringLiteral("objects")].toArray().isEmpty());
    r = runProgram(dump(locked) << QStringLiteral("--password") << QStringLiteral("wrong"));
    EXPECT_EQ(r.exitCode, 3);
    EXPECT_NE(r.err.find("wrong password"), std::string::npos);
    r = runProgram(dump(locked) << QStringLiteral("--password") << QStringLiteral("secret"));
    EXPECT_EQ(r.exitCode, 0) << r.err;
    EXPECT_EQ(parse(r.out)[QStringLiteral("pages")].toArray()[0].toObject()[QStringLiteral("objects")].toArray().size(), 2);

    // Unknown add-ins: the non-plugged message.
    Fx f;
    header25(f);
    page25(f);
    record(f, 10, "TfrFooView", 0, [](Fx& f) { f.raw("x"); });
    const QString unknown = dir.filePath(QStringLiteral("unknown.frf"));
    writeFile(unknown, f.b);
    r = runProgram(dump(unknown));
    EXPECT_EQ(r.exitCode, 3);
    EXPECT_NE(r.err.find("non-plugged components"), std::string::npos);
    EXPECT_NE(r.err.find("TfrFooView"), std::string::npos);
}

TEST(TemplateCli, DumpOtherFiles) {
    QTemporaryDir dir;
    TfrDataDictionary dictionary;
    dictionary.BandDataSources = {{"Band1", "frDBDataSet1"}};
    const QString frd = dir.filePath(QStringLiteral("d.frd"));
    writeFile(frd, dictionary.SaveToBytes());
    auto r = runProgram(dump(frd));
    EXPECT_EQ(r.exitCode, 0) << r.err;
    EXPECT_EQ(parse(r.out)[QStringLiteral("dictionary")][QStringLiteral("bandDataSources")].toArray().size(), 1);

    TfrReport report;
    TfrPreparedPages prepared;
    TfrPreparedPage& page = prepared.Add({9, 2100, 2970, 0, -1});
    ViewList views;
    auto memo = std::make_unique<TfrMemoView>();
    memo->Memo = {"A0001"};
    views.push_back(std::move(memo));
    page.Stream = writePreparedStream(views);
    const QString frp = dir.filePath(QStringLiteral("p.frp"));
    writeFile(frp, prepared.SaveToBytes(report));
    r = runProgram(dump(frp));
    EXPECT_EQ(r.exitCode, 0) << r.err;
    const QJsonObject json = parse(r.out);
    const QJsonObject first = json[QStringLiteral("pages")].toArray()[0].toObject();
    EXPECT_EQ(first[QStringLiteral("objects")].toArray()[0].toObject()[QStringLiteral("memo")].toArray()[0].toString(),
              QStringLiteral("A0001"));

    const QString frt = dir.filePath(QStringLiteral("t.frt"));
    TfrReport t;
    t.Pages.Add();
    writeFile(frt, t.SaveToTemplateBytes({"desc"}, ""));
    r = runProgram(dump(frt));
    EXPECT_EQ(r.exitCode, 0) << r.err;
    EXPECT_EQ(parse(r.out)[QStringLiteral("description")].toArray()[0].toString(), QStringLiteral("desc"));
}

TEST(TemplateCli, MissingFilesAndUsage) {
    auto r = runProgram(dump(QStringLiteral("/nonexistent/x.frf")));
    EXPECT_EQ(r.exitCode, 1);
    EXPECT_TRUE(r.out.empty());
    EXPECT_NE(r.err.find("/nonexistent/x.frf"), std::string::npos);
    r = runProgram({QStringLiteral("template"), QStringLiteral("convert"), QStringLiteral("/nonexistent/x.frf"),
                    QStringLiteral("/tmp/never.frf")});
    EXPECT_EQ(r.exitCode, 1);
    r = runProgram({QStringLiteral("template"), QStringLiteral("dump")});
    EXPECT_EQ(r.exitCode, 2);
    r = runProgram({QStringLiteral("template"), QStringLiteral("frobnicate")});
    EXPECT_EQ(r.exitCode, 2);
}

TEST(TemplateCli, ConvertWritesACurrentTemplate) {
    QTemporaryDir dir;
    // A version-22 template with one text object.
    Fx f;
    f.u8(22).u16(0).u16(0).zstr("\x01");
    f.u8(0xFF).i32(9).i32(2100).i32(2970).i32(0).i32(0).i32(0).i32(0).u8(0).zeros(6).u16(0).u16(1).i32(1).i32(0);
    f.u8(0).u8(0).i32(1).i32(2).i32(3).i32(4).u16(0).u16(0).i32(1).i32(0).u16(0).i32(0x1FFFFFFF);
    f.i32(0).zstr("").zstr("hello").zstr("Arial").i32(10).u16(0).i32(0).i32(0).u16(0).u16(2).i32(0).i32(0).zstr("");
    f.u8(0xFC);
    const QString in = dir.filePath(QStringLiteral("old.frf"));
    const QString out = dir.filePath(QStringLiteral("new.frf"));
    writeFile(in, f.b);
    auto r = runProgram({QStringLiteral("template"), QStringLiteral("convert"), in, out});
    EXPECT_EQ(r.exitCode, 0) << r.err;
    const std::string written = mirel::test::readFile(out);
    ASSERT_FALSE(written.empty());
    EXPECT_EQ(written[0], 25);
    TfrReport back;
    RecordingHost host;
    back.LoadFromBytes(written, host);
    ASSERT_EQ(back.Pages.Count(), 1u);
    ASSERT_EQ(back.Pages[0].Objects.size(), 1u);
    EXPECT_EQ(back.Pages[0].Objects[0]->Name, "Memo1");
    EXPECT_EQ(back.Pages[0].Objects[0]->Memo, Lines{"hello"});

    // A read that shows a message writes nothing.
    const QString newer = dir.filePath(QStringLiteral("newer.frf"));
    const QString untouched = dir.filePath(QStringLiteral("untouched.frf"));
    writeFile(newer, "\x1A");
    r = runProgram({QStringLiteral("template"), QStringLiteral("convert"), newer, untouched});
    EXPECT_EQ(r.exitCode, 3);
    EXPECT_FALSE(QFile::exists(untouched));
}
