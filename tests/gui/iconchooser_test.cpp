// The icon chooser over archives made by the project's own writer: the sorted keys, the prefix
// selection of the entry name, the painted icon and its views, OK and Cancel, an empty archive.

#include "base/format.h"
#include "icons/iconformat.h"
#include "icons/sampleicons.h"
#include "icons/ui/iconchooser.h"

#include <QLabel>
#include <QListWidget>
#include <QPushButton>
#include <QTest>

using namespace varnel;

Q_DECLARE_METATYPE(varnel::Game)

namespace {

const std::vector<SampleIcon> kIcons = {{"TIGERII", IconShape::Vehicle},
                                        {"PANTHER", IconShape::Vehicle},
                                        {"TIGER", IconShape::Gun},
                                        {"STUKA", IconShape::Plane},
                                        {"BISMRK", IconShape::Ship}};

IconArchive archiveOf(Game game, const std::vector<SampleIcon>& icons) {
    IconArchive archive(game);
    archive.Open(MakeSampleIconArchive(game, icons));
    return archive;
}

QListWidget* listOf(CIconChooser& chooser) {
    return chooser.findChild<QListWidget*>(QStringLiteral("iconListWidget"));
}

QString labelText(CIconChooser& chooser, const char* name) {
    return chooser.findChild<QLabel*>(QLatin1String(name))->text();
}

QPushButton* button(CIconChooser& chooser, const char* name) {
    return chooser.findChild<QPushButton*>(QLatin1String(name));
}

QRgb rgb(Rgb c) {
    return qRgb(c.r, c.g, c.b);
}

int paintedInside(const QImage& image) {
    int n = 0;
    const QRgb background = rgb(iconfile::kBackgroundColour);
    for (int y = iconfile::kInnerTop; y < iconfile::kInnerBottom; ++y)
        for (int x = iconfile::kInnerLeft; x < iconfile::kInnerRight; ++x)
            n += image.pixel(kChooserIconOriginX + x, kChooserIconOriginY + y) != background;
    return n;
}

} // namespace

class IconChooserTest : public QObject {
    Q_OBJECT

  private slots:
    void opening_data();
    void opening();
    void labelsAndPicture_data();
    void labelsAndPicture();
    void views();
    void okTakesTheClickedKey();
    void cancel();
    void emptyArchive();
    void screenshot();
};

// The keys sorted; the first that begins with the entry name (any case) selected, else the first.
void IconChooserTest::opening_data() {
    QTest::addColumn<Game>("game");
    QTest::addColumn<QString>("entry");
    QTest::addColumn<QString>("selected");
    QTest::newRow("TIG picks TIGER") << Game::Pg2 << "TIG"
                                     << "TIGER";
    QTest::newRow("lower case") << Game::Pg2 << "tigeri"
                                << "TIGERII";
    QTest::newRow("exact key") << Game::Peg << "PANTHER"
                               << "PANTHER";
    QTest::newRow("no match: first key") << Game::Pg2 << "ZZZ"
                                         << "BISMRK";
    QTest::newRow("empty: first key") << Game::Peg << ""
                                      << "BISMRK";
    QTest::newRow("longer than any key") << Game::Pg2 << "TIGERIII"
                                         << "BISMRK";
}

void IconChooserTest::opening() {
    QFETCH(Game, game);
    QFETCH(QString, entry);
    QFETCH(QString, selected);
    IconArchive archive = archiveOf(game, kIcons);
    CIconChooser chooser(archive, "/games/x/PANZER2.DAT", entry.toStdString());
    QCOMPARE(chooser.windowTitle(), QStringLiteral("Selecting Icon"));
    QListWidget* list = listOf(chooser);
    QStringList keys;
    for (int i = 0; i < list->count(); ++i)
        keys << list->item(i)->text();
    QCOMPARE(keys, (QStringList{QStringLiteral("BISMRK"), QStringLiteral("PANTHER"),
                                QStringLiteral("STUKA"), QStringLiteral("TIGER"),
                                QStringLiteral("TIGERII")}));
    QCOMPARE(list->currentItem()->text(), selected);
    // OK without touching the list takes the preselected key.
    chooser.show();
    QTest::mouseClick(button(chooser, "okButton"), Qt::LeftButton);
    QCOMPARE(chooser.result(), int(QDialog::Accepted));
    QCOMPARE(QString::fromStdString(chooser.name()), selected);
}

// "%d Icons in %s", "Select an icon and press OK", the size line, the frame at (10, 2).
void IconChooserTest::labelsAndPicture_data() {
    QTest::addColumn<Game>("game");
    QTest::addColumn<QString>("path");
    QTest::addColumn<QString>("fileLine");
    QTest::newRow("PG2") << Game::Pg2 << "/games/pg2/PANZER2.DAT"
                         << "5 Icons in PANZER2.DAT";
    QTest::newRow("PeG, backslashes") << Game::Peg << "C:\\PEOPLE\\Modgen.dat"
                                      << "5 Icons in Modgen.dat";
}

void IconChooserTest::labelsAndPicture() {
    QFETCH(Game, game);
    QFETCH(QString, path);
    QFETCH(QString, fileLine);
    IconArchive archive = archiveOf(game, kIcons);
    CIconChooser chooser(archive, path.toStdString(), "STU");
    QCOMPARE(labelText(chooser, "fileLabel"), fileLine);
    QCOMPARE(labelText(chooser, "selectionLabel"), QStringLiteral("Select an icon and press OK"));
    QCOMPARE(labelText(chooser, "sizeLabel").toStdString(),
             Format("Size (%d x %d) View:%d", archive.lastWidth(), archive.lastHeight(),
                    archive.view()));
    QVERIFY(archive.lastWidth() > 0 && archive.lastHeight() > 0);
    QCOMPARE(archive.originX(), kChooserIconOriginX);
    QCOMPARE(archive.originY(), kChooserIconOriginY);
    const QImage& image = chooser.iconImage();
    QCOMPARE(image.pixel(kChooserIconOriginX, kChooserIconOriginY), rgb(iconfile::kBorderColour));
    QVERIFY(image.pixel(kChooserIconOriginX - 1, kChooserIconOriginY) !=
            rgb(iconfile::kBorderColour));
    QVERIFY(paintedInside(image) > 20);
    // Another selection paints another icon.
    const QImage stuka = image.copy();
    listOf(chooser)->setCurrentRow(0);
    QVERIFY(chooser.iconImage() != stuka);
}

// "<<" and ">>" page the archive's views, which it keeps after the dialog.
void IconChooserTest::views() {
    IconArchive archive = archiveOf(Game::Pg2, kIcons);
    archive.SetView(8);
    {
        CIconChooser chooser(archive, "PANZER2.DAT", "TIGER");
        chooser.show();
        chooser.activateWindow();
        QVERIFY(QTest::qWaitForWindowActive(&chooser));
        const QImage at8 = chooser.iconImage().copy();
        QTest::mouseClick(button(chooser, "nextViewButton"), Qt::LeftButton);
        QCOMPARE(archive.view(), 9);
        QVERIFY(chooser.iconImage() != at8);
        QVERIFY(labelText(chooser, "sizeLabel").endsWith(QStringLiteral("View:9")));
        QVERIFY(listOf(chooser)->hasFocus());
        // At 9 it stays 9 and paints the same again.
        const QImage at9 = chooser.iconImage().copy();
        QTest::mouseClick(button(chooser, "nextViewButton"), Qt::LeftButton);
        QCOMPARE(archive.view(), 9);
        QCOMPARE(chooser.iconImage(), at9);
        QTest::mouseClick(button(chooser, "prevViewButton"), Qt::LeftButton);
        QCOMPARE(archive.view(), 8);
        QCOMPARE(chooser.iconImage(), at8);
        QTest::mouseClick(button(chooser, "prevViewButton"), Qt::LeftButton);
    }
    QCOMPARE(archive.view(), 7);
}

void IconChooserTest::okTakesTheClickedKey() {
    IconArchive archive = archiveOf(Game::Peg, kIcons);
    CIconChooser chooser(archive, "MODGEN.DAT", "TIGER");
    chooser.show();
    QVERIFY(QTest::qWaitForWindowExposed(&chooser));
    QListWidget* list = listOf(chooser);
    QListWidgetItem* panther = list->item(1);
    QTest::mouseClick(list->viewport(), Qt::LeftButton, {}, list->visualItemRect(panther).center());
    QCOMPARE(list->currentRow(), 1);
    QCOMPARE(chooser.name(), std::string("TIGER")); // nothing taken before OK
    QTest::keyClick(list, Qt::Key_Return);          // the default button
    QCOMPARE(chooser.result(), int(QDialog::Accepted));
    QCOMPARE(chooser.name(), std::string("PANTHER"));
}

void IconChooserTest::cancel() {
    IconArchive archive = archiveOf(Game::Pg2, kIcons);
    CIconChooser chooser(archive, "PANZER2.DAT", "tig");
    chooser.show();
    listOf(chooser)->setCurrentRow(2);
    QTest::mouseClick(button(chooser, "cancelButton"), Qt::LeftButton);
    QCOMPARE(chooser.result(), int(QDialog::Rejected));
    QCOMPARE(chooser.name(), std::string("tig"));
}

// No keys: an empty list, the empty frame, and OK leaves the name as it was.
void IconChooserTest::emptyArchive() {
    IconArchive archive(Game::Pg2);
    CIconChooser chooser(archive, "PANZER2.DAT", "TIGER");
    chooser.show();
    QCOMPARE(listOf(chooser)->count(), 0);
    QCOMPARE(labelText(chooser, "fileLabel"), QStringLiteral("0 Icons in PANZER2.DAT"));
    QCOMPARE(chooser.iconImage().pixel(kChooserIconOriginX, kChooserIconOriginY),
             rgb(iconfile::kBorderColour));
    QCOMPARE(paintedInside(chooser.iconImage()), 0);
    QTest::mouseClick(button(chooser, "nextViewButton"), Qt::LeftButton);
    QCOMPARE(paintedInside(chooser.iconImage()), 0);
    QTest::mouseClick(button(chooser, "okButton"), Qt::LeftButton);
    QCOMPARE(chooser.result(), int(QDialog::Accepted));
    QCOMPARE(chooser.name(), std::string("TIGER"));
}

// With VARNEL_SCREENSHOT_DIR set, a picture of the chooser goes there.
void IconChooserTest::screenshot() {
    const QByteArray dir = qgetenv("VARNEL_SCREENSHOT_DIR");
    if (dir.isEmpty())
        QSKIP("VARNEL_SCREENSHOT_DIR is not set");
    IconArchive archive = archiveOf(Game::Pg2, kIcons);
    CIconChooser chooser(archive, "/games/pg2/PANZER2.DAT", "TIG");
    chooser.show();
    QVERIFY(QTest::qWaitForWindowExposed(&chooser));
    QVERIFY(chooser.grab().save(QString::fromLocal8Bit(dir) + QStringLiteral("/icon-chooser.png")));
}

QTEST_MAIN(IconChooserTest)
#include "iconchooser_test.moc"
