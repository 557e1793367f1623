// system.ini: reading values as INI files are read, and writing keys without
// disturbing anything else in the file.

#include "app/IniFile.h"

#include "support/TestSupport.h"

#include <gtest/gtest.h>

using mirel::app::IniFile;
using mirel::test::ansi;

namespace {

struct ReadCase {
    const char* note;
    const char* file;   // UTF-8 here, code page bytes in the file
    const char* section;
    const char* key;
    const char* expected;   // nullptr: no value
};

const ReadCase kReadCases[] = {
    {"plain", "[kz]\r\nkz01=abc\r\n", "kz", "kz01", "abc"},
    {"Chinese value", "[kz]\r\nkz01=含量：120g\r\n", "kz", "kz01", "含量：120g"},
    {"blanks around key and value", "[kz]\r\n  kz01 =  a b \t\r\n", "kz", "kz01", "a b"},
    {"quotes removed", "[kz]\r\nkz01=\" ** \"\r\n", "kz", "kz01", " ** "},
    {"single quotes", "[kz]\r\nkz01='x'\r\n", "kz", "kz01", "x"},
    {"one quote kept", "[kz]\r\nkz01=\"x\r\n", "kz", "kz01", "\"x"},
    {"empty value", "[kz]\r\nkz01=\r\n", "kz", "kz01", ""},
    {"value holding '='", "[kz]\r\nkz01=a=b\r\n", "kz", "kz01", "a=b"},
    {"case of names ignored", "[KZ]\r\nKZ01=v\r\n", "kz", "kz01", "v"},
    {"first key counts", "[kz]\r\nkz01=first\r\nkz01=second\r\n", "kz", "kz01", "first"},
    {"first section counts", "[kz]\r\na=1\r\n[kz]\r\nkz01=late\r\n", "kz", "kz01", nullptr},
    {"key of another section", "[other]\r\nkz01=x\r\n[kz]\r\n", "kz", "kz01", nullptr},
    {"comment line", "[kz]\r\n;kz01=x\r\n", "kz", "kz01", nullptr},
    {"missing section", "[other]\r\nkz01=x\r\n", "kz", "kz01", nullptr},
    {"LF and CR line ends", "[a]\nx=1\r[kz]\rkz01=y", "kz", "kz01", "y"},
    // In the code page the second byte of 乚 is the byte of ']'.
    {"Chinese section name", "[乚]\r\nk=v\r\n", "乚", "k", "v"},
    {"key before any section", "kz01=x\r\n[kz]\r\n", "kz", "kz01", nullptr},
};

TEST(IniFileTest, ReadsValuesAsIniFilesAreRead) {
    for (const ReadCase& c : kReadCases) {
        const IniFile ini(ansi(c.file));
        const std::optional<QString> value =
            ini.value(QString::fromUtf8(c.section), QString::fromUtf8(c.key));
        if (c.expected) {
            ASSERT_TRUE(value.has_value()) << c.note;
            EXPECT_EQ(value->toStdString(), c.expected) << c.note;
        } else {
            EXPECT_FALSE(value.has_value()) << c.note;
        }
    }
}

struct WriteCase {
    const char* note;
    const char* before;
    const char* section;
    const char* key;
    const char* value;
    const char* after;
};

const WriteCase kWriteCases[] = {
    {"new file", "", "kz", "kz01", "含量：120g", "[kz]\r\nkz01=含量：120g\r\n"},
    {"replace in place, spelling of the key kept", "[KZ]\r\n KZ01 = old\r\nb=2\r\n", "kz", "kz01", "new",
     "[KZ]\r\n KZ01 =new\r\nb=2\r\n"},
    {"new key before the blank line ending the section", "[kz]\r\na=1\r\n\r\n[other]\r\nc=3\r\n", "kz", "b", "2",
     "[kz]\r\na=1\r\nb=2\r\n\r\n[other]\r\nc=3\r\n"},
    {"new section after a last line without line end", "; notes\n[other]\nc=3", "kz", "kz01", "x",
     "; notes\n[other]\nc=3\n[kz]\nkz01=x\n"},
    {"new key at the end of the last section", "[kz]\r\na=1", "kz", "b", "2", "[kz]\r\na=1\r\nb=2\r\n"},
    {"value with blanks at the ends is quoted", "", "kz", "k", " ** ", "[kz]\r\nk=\" ** \"\r\n"},
    {"value that looks quoted is quoted", "", "kz", "k", "\"a\"", "[kz]\r\nk=\"\"a\"\"\r\n"},
    {"line breaks become blanks", "", "kz", "k", "a\r\nb\nc", "[kz]\r\nk=a b c\r\n"},
    {"empty value", "[kz]\r\nk=x\r\n", "kz", "k", "", "[kz]\r\nk=\r\n"},
    {"comment that looks like the key stays", "[kz]\r\n;k=old\r\n", "kz", "k", "v", "[kz]\r\n;k=old\r\nk=v\r\n"},
};

TEST(IniFileTest, WritesOneKeyAndKeepsTheRestOfTheFile) {
    for (const WriteCase& c : kWriteCases) {
        IniFile ini(ansi(c.before));
        ini.setValue(QString::fromUtf8(c.section), QString::fromUtf8(c.key), QString::fromUtf8(c.value));
        EXPECT_EQ(ini.bytes(), ansi(c.after)) << c.note;
        // What was written reads back as it was given, line breaks apart.
        const IniFile again(ini.bytes());
        QString expected = QString::fromUtf8(c.value);
        expected.replace(QLatin1String("\r\n"), QLatin1String(" ")).replace(QLatin1Char('\n'), QLatin1Char(' '));
        EXPECT_EQ(again.value(QString::fromUtf8(c.section), QString::fromUtf8(c.key)), expected) << c.note;
    }
}

TEST(IniFileTest, BytesOfUntouchedLinesSurvive) {
    // Bytes that are no valid code page text, odd spacing and mixed line ends
    // belong to other programs; a write of our key leaves them as they were.
    const std::string before = std::string("[tool]\r\npath=\xFF\xFE odd\n  spaced  =  1 \r\r\n[kz]\r\nkz01=a\r\n");
    IniFile ini(before);
    ini.setValue(QStringLiteral("kz"), QStringLiteral("kz01"), QStringLiteral("b"));
    std::string expected = before;
    expected.replace(expected.size() - 3, 1, "b");
    EXPECT_EQ(ini.bytes(), expected);
}

} // namespace
