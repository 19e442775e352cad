// The Windows-1252 edge: every byte value survives the way to a QString and back; characters the
// game's files cannot hold are refused with a message that names them.

#include "app/ui/text1252.h"

#include <QTest>

using namespace varnel;

class Text1252Test : public QObject {
    Q_OBJECT
  private slots:
    void allByteValuesRoundTrip();
    void characters_data();
    void characters();
    void refused_data();
    void refused();
    void messagesShowValidUtf8AsIs();
};

void Text1252Test::allByteValuesRoundTrip() {
    std::string bytes;
    for (int b = 0; b < 256; ++b)
        bytes.push_back(static_cast<char>(b));
    const QString text = FromWindows1252(bytes);
    QCOMPARE(text.size(), 256);
    QCOMPARE(FirstNonWindows1252(text), qsizetype(-1));
    const auto back = ToWindows1252(text);
    QVERIFY(back.has_value());
    QVERIFY(*back == bytes);
    // One character per byte, no two bytes alike.
    QSet<QChar> distinct(text.begin(), text.end());
    QCOMPARE(distinct.size(), 256);
}

void Text1252Test::characters_data() {
    QTest::addColumn<int>("byte");
    QTest::addColumn<int>("unicode");
    QTest::newRow("ASCII A") << 0x41 << 0x0041;
    QTest::newRow("NUL") << 0x00 << 0x0000;
    QTest::newRow("euro") << 0x80 << 0x20AC;
    QTest::newRow("undefined 0x81") << 0x81 << 0x0081;
    QTest::newRow("single low quote") << 0x82 << 0x201A;
    QTest::newRow("ellipsis") << 0x85 << 0x2026;
    QTest::newRow("S caron") << 0x8A << 0x0160;
    QTest::newRow("undefined 0x8D") << 0x8D << 0x008D;
    QTest::newRow("Z caron") << 0x8E << 0x017D;
    QTest::newRow("undefined 0x8F") << 0x8F << 0x008F;
    QTest::newRow("undefined 0x90") << 0x90 << 0x0090;
    QTest::newRow("en dash") << 0x96 << 0x2013;
    QTest::newRow("trade mark") << 0x99 << 0x2122;
    QTest::newRow("undefined 0x9D") << 0x9D << 0x009D;
    QTest::newRow("Y diaeresis") << 0x9F << 0x0178;
    QTest::newRow("no-break space") << 0xA0 << 0x00A0;
    QTest::newRow("e acute") << 0xE9 << 0x00E9;
    QTest::newRow("y diaeresis") << 0xFF << 0x00FF;
}

void Text1252Test::characters() {
    QFETCH(int, byte);
    QFETCH(int, unicode);
    const std::string one(1, static_cast<char>(byte));
    const QString text = FromWindows1252(one);
    QCOMPARE(text.size(), 1);
    QCOMPARE(int(text.at(0).unicode()), unicode);
    const auto back = ToWindows1252(QString(QChar(char16_t(unicode))));
    QVERIFY(back.has_value());
    QCOMPARE(int(static_cast<unsigned char>(back->at(0))), byte);
}

void Text1252Test::refused_data() {
    QTest::addColumn<QString>("text");
    QTest::addColumn<int>("position");
    QTest::addColumn<QString>("named");
    QTest::newRow("C1 control that 0x80 does not stand for")
        << (QStringLiteral("ab") + QChar(char16_t(0x0080))) << 2 << QStringLiteral("U+0080");
    QTest::newRow("A macron") << QString::fromUtf8("Tiger \xc4\x80") << 6
                              << QStringLiteral("U+0100");
    QTest::newRow("CJK") << QString::fromUtf8("\xe4\xb8\xad") << 0 << QStringLiteral("U+4E2D");
    QTest::newRow("outside the basic plane")
        << QString::fromUtf8("x\xf0\x9f\x98\x80") << 1 << QStringLiteral("U+1F600");
    QTest::newRow("Cyrillic after Latin-1")
        << QString::fromUtf8("\xc3\xa9\xd0\x96") << 1 << QStringLiteral("U+0416");
}

void Text1252Test::refused() {
    QFETCH(QString, text);
    QFETCH(int, position);
    QFETCH(QString, named);
    QCOMPARE(FirstNonWindows1252(text), qsizetype(position));
    QVERIFY(!ToWindows1252(text).has_value());
    const QString message = Windows1252Refusal(text);
    QVERIFY2(message.contains(named), qPrintable(message));
    QVERIFY2(message.contains(QStringLiteral("Windows-1252")), qPrintable(message));
    QVERIFY(Windows1252Refusal(QStringLiteral("Panzer IV")).isEmpty());
}

void Text1252Test::messagesShowValidUtf8AsIs() {
    // The core's own texts are UTF-8 ("¿ Save changes ?").
    QCOMPARE(FromMessage("\xc2\xbf Save"), QString::fromUtf8("\xc2\xbf Save"));
    // A unit name quoted in a message is Windows-1252 bytes.
    QCOMPARE(FromMessage("Unit \xe9t\xe9"), QString::fromUtf8("Unit \xc3\xa9t\xc3\xa9"));
}

QTEST_MAIN(Text1252Test)
#include "text1252_test.moc"
