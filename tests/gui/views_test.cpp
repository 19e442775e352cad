// The two unit forms driven through their real widgets: edits and their stored bytes, refusals,
// the list with its filters and search, the PeG extras, icons, sounds, names and view switching.

#include "tests/gui/views_fixture.h"

#include "app/filekind.h"
#include "app/unitsound.h"
#include "base/format.h"
#include "base/paths.h"
#include "equip/fieldtable.h"
#include "icons/iconformat.h"
#include "icons/samplewavs.h"
#include "icons/ui/iconchooser.h"
#include "views/unitviewfactory.h"
#include "views/view2.h"
#include "views/view3.h"

#include <QApplication>
#include <QCheckBox>
#include <QDialog>
#include <QGroupBox>
#include <QLabel>
#include <QListWidget>
#include <QPushButton>
#include <QTimer>
#include <QToolBar>
#include <QToolButton>
#include <QVBoxLayout>

#include <SDL.h>

#include <chrono>
#include <fstream>
#include <thread>

using namespace varnel;
using namespace varnel::viewstest;

Q_DECLARE_METATYPE(varnel::Game)

namespace {

// The name of a unit that must exist, as a string of its own.
std::string nameOf(const CVarnelDoc& doc, Game game, std::size_t unit) {
    const auto name = doc.unitName(game, unit);
    return name ? std::string(*name) : std::string("<no such unit>");
}

constexpr const char* kReloadQuestion =
    "Are you sure that you want to reload %s\nIt will overwrite any change you had made";

// Clicks a check box on its indicator, where a click toggles it whatever the box's width.
void clickBox(QCheckBox* box) {
    QTest::mouseClick(box, Qt::LeftButton, {}, QPoint(6, box->height() / 2));
}

std::unique_ptr<CUnitView> makeView(Session& s, Game g) {
    std::unique_ptr<CUnitView> view;
    if (g == Game::Pg2)
        view = std::make_unique<CView2>(s.doc);
    else
        view = std::make_unique<CView3>(s.doc);
    view->show();
    view->activateWindow();
    if (!QTest::qWaitForWindowActive(view.get()))
        qWarning("the form did not become active");
    return view;
}

QString controlName(const FieldDef& f) {
    switch (f.kind) {
    case FieldKind::Switch:
    case FieldKind::Bit:
        return QLatin1String(f.name) + QStringLiteral("CheckBox");
    case FieldKind::Month:
    case FieldKind::Vocabulary:
    case FieldKind::Country:
        return QLatin1String(f.name) + QStringLiteral("ComboBox");
    default:
        return QLatin1String(f.name) + QStringLiteral("LineEdit");
    }
}

QLineEdit* editOf(QWidget* view, const char* field) {
    return widget<QLineEdit>(view, QLatin1String(field) + QStringLiteral("LineEdit"));
}

std::string modifiedMark(Game g) {
    return g == Game::Pg2 ? "<Modified: PG2>" : "<Modified: PeG>";
}

const FieldDef& field(Game g, const char* name) {
    const FieldDef* f = FindField(g, name);
    Q_ASSERT(f != nullptr);
    return *f;
}

std::string stored(const Session& s, Game g, int unit, const char* name) {
    return s.doc.formatField(g, static_cast<std::size_t>(unit), field(g, name));
}

Bytes recordOf(const Session& s, Game g, int unit) {
    const auto i = static_cast<std::size_t>(unit);
    if (g == Game::Pg2)
        return Bytes(s.doc.pg2()->units[i].record.bytes.begin(),
                     s.doc.pg2()->units[i].record.bytes.end());
    return Bytes(s.doc.peg()->units[i].record.bytes.begin(),
                 s.doc.peg()->units[i].record.bytes.end());
}

int s_unitCount(const CVarnelDoc& doc, Game g) {
    return static_cast<int>(doc.unitCount(g));
}

Bytes readBytes(const std::string& path) {
    std::ifstream in(path, std::ios::binary);
    return Bytes((std::istreambuf_iterator<char>(in)), std::istreambuf_iterator<char>());
}

} // namespace

class ViewsTest : public QObject {
    Q_OBJECT

  private slots:
    void initTestCase();
    void everyFieldHasItsControl_data();
    void everyFieldHasItsControl();
    void loadShowsUnitZero_data();
    void loadShowsUnitZero();
    void editBox_data();
    void editBox();
    void refusedValue_data();
    void refusedValue();
    void dropDownAndCheckBox_data();
    void dropDownAndCheckBox();
    void pegIconedLimit_data();
    void pegIconedLimit();
    void pegIconedLimitLoadedOverFour();
    void pegDisplays();
    void pegCloseBoxesStayEqual();
    void filtersAndSearch_data();
    void filtersAndSearch();
    void selectionFallsBack();
    void searchKeys();
    void switchAdoptsIndex();
    void iconBoxAndViews_data();
    void iconBoxAndViews();
    void chooseIconThroughChooser_data();
    void chooseIconThroughChooser();
    void soundButtonPlays();
    void missingSound();
    void reloadNames();
    void reloadNamesMissingFile();
    void withoutTable();
    void registration();
    void commandsCommitTheEditFirst();
    void frameSwitchesViews();
    void formFitsSmallScreen_data();
    void formFitsSmallScreen();

  private:
    std::string audioFile_;
    QTemporaryDir audioDir_;
};

void ViewsTest::initTestCase() {
    // The sound test plays through SDL's disk driver into a file of this run.
    qputenv("SDL_AUDIODRIVER", "disk");
    qputenv("SDL_DISKAUDIODELAY", "1");
    audioFile_ = ToPath(audioDir_.filePath(QStringLiteral("audio.raw")));
    qputenv("SDL_DISKAUDIOFILE", QByteArray::fromStdString(audioFile_));
}

// Every row of the field table has its control, found by the name the table gives it, with the
// table's tooltip and caption.
void ViewsTest::everyFieldHasItsControl_data() {
    QTest::addColumn<Game>("game");
    QTest::newRow("PG2") << Game::Pg2;
    QTest::newRow("PeG") << Game::Peg;
}

void ViewsTest::everyFieldHasItsControl() {
    QFETCH(Game, game);
    Session s;
    auto view = makeView(s, game);
    for (const FieldDef& f : FormFields(game)) {
        QWidget* control = widget<QWidget>(view.get(), controlName(f));
        QVERIFY2(control != nullptr, f.name);
        QCOMPARE(control->toolTip(), QLatin1String(f.tooltip));
        if (auto* box = qobject_cast<QCheckBox*>(control)) {
            QCOMPARE(box->text(), QLatin1String(f.caption));
        } else if (*f.caption != '\0') {
            auto* label =
                widget<QLabel>(view.get(), QLatin1String(f.name) + QStringLiteral("Label"));
            QVERIFY2(label != nullptr, f.name);
            QCOMPARE(label->text(), QLatin1String(f.caption));
        }
    }
    const QStringList fixed = {
        QStringLiteral("countryFilterComboBox"), QStringLiteral("classFilterComboBox"),
        QStringLiteral("findLineEdit"),          QStringLiteral("iconFrameLabel"),
        QStringLiteral("iconSizeLabel"),         QStringLiteral("prevViewButton"),
        QStringLiteral("nextViewButton"),        QStringLiteral("attackSoundButton"),
        QStringLiteral("moveSoundButton"),       QStringLiteral("deathSoundButton"),
        QStringLiteral("reloadNamesButton")};
    for (const QString& name : fixed)
        QVERIFY2(widget<QWidget>(view.get(), name) != nullptr, qPrintable(name));
    QCOMPARE(widget<QToolButton>(view.get(), QStringLiteral("reloadNamesButton"))->toolTip(),
             QStringLiteral("Reload Unit's names from text E-File"));
    if (game == Game::Pg2) {
        QVERIFY(widget<QCheckBox>(view.get(), QStringLiteral("mountainCheckBox"))->isHidden());
        QVERIFY(widget<QWidget>(view.get(), QStringLiteral("selectIconButton")) != nullptr);
        QCOMPARE(widget<QPushButton>(view.get(), QStringLiteral("attackSoundButton"))->toolTip(),
                 QStringLiteral("Test sound if you have converted to wav format"));
        QCOMPARE(widget<QPushButton>(view.get(), QStringLiteral("prevViewButton"))->toolTip(),
                 QStringLiteral("Previous view of this icon"));
    } else {
        QVERIFY(widget<QWidget>(view.get(), QStringLiteral("selectUnitIconButton")) != nullptr);
        QVERIFY(widget<QWidget>(view.get(), QStringLiteral("selectMovIconButton")) != nullptr);
        QVERIFY(widget<QWidget>(view.get(), QStringLiteral("monthExpiredComboBox")) == nullptr);
        QCOMPARE(widget<QPushButton>(view.get(), QStringLiteral("deathSoundButton"))->toolTip(),
                 QStringLiteral("Click to test (hear) Destroyed sound"));
        QVERIFY(
            widget<QPushButton>(view.get(), QStringLiteral("prevViewButton"))->toolTip().isEmpty());
    }
}

// A load refreshes the form: every unit listed in its line format, unit 0 shown.
void ViewsTest::loadShowsUnitZero_data() {
    everyFieldHasItsControl_data();
}

void ViewsTest::loadShowsUnitZero() {
    QFETCH(Game, game);
    Session s;
    auto view = makeView(s, game);
    QVERIFY(listedIndexes(view.get()).empty());
    QVERIFY(s.load(game));
    const std::size_t n = s.doc.unitCount(game);
    QCOMPARE(listedIndexes(view.get()).size(), n);
    QCOMPARE(s.doc.view(game).listedUnits, static_cast<int>(n));
    QCOMPARE(s.doc.view(game).currentUnit, 0);
    QCOMPARE(ToWindows1252(editOf(view.get(), "denomination")->text()).value(),
             nameOf(s.doc, game, 0));
    // "%d - %s  [%s  %s]": index, name, class code, country name.
    const int unit = 3;
    const int cls = game == Game::Pg2 ? s.doc.pg2()->units[unit].record[pg2::Class]
                                      : s.doc.peg()->units[unit].record[peg::Class];
    const int country = game == Game::Pg2 ? Pg2Country(s.doc.pg2()->units[unit].record)
                                          : s.doc.peg()->units[unit].record[peg::Country];
    const std::string expected =
        Format("%d - %s  [%s  %s]", unit, nameOf(s.doc, game, unit).c_str(),
               ClassCodes(game).text(cls), s.doc.countries(game).name(country).c_str());
    QCOMPARE(ToWindows1252(lineText(view.get(), unit)).value(), expected);
    clickRow(view.get(), 5);
    QCOMPARE(s.doc.view(game).currentUnit, 5);
    QCOMPARE(editOf(view.get(), "cost")->text().toStdString(), stored(s, game, 5, "cost"));
}

// Typing into an edit box and leaving it stores the converted byte, sets the right change flag
// and marks the title.
void ViewsTest::editBox_data() {
    QTest::addColumn<Game>("game");
    QTest::addColumn<QString>("fieldName");
    QTest::addColumn<QString>("typed");
    QTest::addColumn<bool>("byReturn");
    QTest::addColumn<int>("offset"); // -1: the name
    QTest::addColumn<QByteArray>("bytes");
    QTest::addColumn<QString>("shown");
    QTest::addColumn<bool>("names");

    QTest::newRow("PG2 air attack, focus leaves")
        << Game::Pg2 << "airAtk"
        << "77" << false << pg2::AirAtk << QByteArray("\x4d", 1) << "77" << false;
    QTest::newRow("PG2 cost 108 stores 9")
        << Game::Pg2 << "cost"
        << "108" << true << pg2::Cost << QByteArray("\x09", 1) << "108" << false;
    QTest::newRow("PG2 year 2155 stores 255")
        << Game::Pg2 << "yearAvaible"
        << "2155" << false << pg2::YearAvaible << QByteArray("\xff", 1) << "2155" << false;
    QTest::newRow("PG2 until year")
        << Game::Pg2 << "yearExpired"
        << "1946" << true << pg2::YearExpired << QByteArray("\x2e", 1) << "1946" << false;
    QTest::newRow("PG2 icon name, zero-filled")
        << Game::Pg2 << "icon"
        << "tig" << false << pg2::Icon << QByteArray("tig\0\0\0", 6) << "tig" << false;
    QTest::newRow("PG2 sound number")
        << Game::Pg2 << "atkMel"
        << "99" << true << pg2::atkMel << QByteArray("\x63", 1) << "99" << false;
    QTest::newRow("PG2 name marks names only")
        << Game::Pg2 << "denomination" << QString::fromUtf8("Panzer \u00c4 \u20ac") << false << -1
        << QByteArray("Panzer \xc4 \x80") << QString::fromUtf8("Panzer \u00c4 \u20ac") << true;
    QTest::newRow("PeG cost 2550 stores 255")
        << Game::Peg << "cost"
        << "2550" << true << peg::Cost << QByteArray("\xff", 1) << "2550" << false;
    QTest::newRow("PeG year 2000 stores 0")
        << Game::Peg << "yearAvaible"
        << "2000" << false << peg::YearAvaible << QByteArray("\x00", 1) << "2000" << false;
    QTest::newRow("PeG byte55 256 stores 0")
        << Game::Peg << "byte55"
        << "256" << true << peg::byte55 << QByteArray("\x00", 1) << "0" << false;
    QTest::newRow("PeG move icon")
        << Game::Peg << "movIcon"
        << "MOVXYZ" << false << peg::MovIcon << QByteArray("MOVXYZ") << "MOVXYZ" << false;
    QTest::newRow("PeG helicopter attack")
        << Game::Peg << "heloAtk"
        << " 12 " << true << peg::HeloAtk << QByteArray("\x0c", 1) << "12" << false;
    QTest::newRow("PeG name") << Game::Peg << "denomination"
                              << "Neuer Name" << true << -1 << QByteArray("Neuer Name")
                              << "Neuer Name" << true;
}

void ViewsTest::editBox() {
    QFETCH(Game, game);
    QFETCH(QString, fieldName);
    QFETCH(QString, typed);
    QFETCH(bool, byReturn);
    QFETCH(int, offset);
    QFETCH(QByteArray, bytes);
    QFETCH(QString, shown);
    QFETCH(bool, names);

    Session s;
    QVERIFY(s.load(game));
    auto view = makeView(s, game);
    const int unit = 3;
    clickRow(view.get(), unit);
    const std::string other = nameOf(s.doc, game, 4);
    QVERIFY(s.doc.title().find(modifiedMark(game)) == std::string::npos);

    QLineEdit* edit = editOf(view.get(), qPrintable(fieldName));
    QVERIFY(edit != nullptr);
    typeInto(edit, typed, byReturn, unitList(view.get()));

    QCOMPARE(edit->text(), shown);
    std::string actual;
    if (offset < 0) {
        actual = nameOf(s.doc, game, unit);
    } else {
        const Bytes rec = recordOf(s, game, unit);
        actual.assign(rec.begin() + offset, rec.begin() + offset + bytes.size());
    }
    QCOMPARE(QByteArray::fromStdString(actual), bytes);
    QCOMPARE(s.doc.flag(game, ChangeKind::Names), names);
    QCOMPARE(s.doc.flag(game, ChangeKind::Data), !names);
    QVERIFY(s.doc.title().find(modifiedMark(game)) != std::string::npos);
    QCOMPARE(nameOf(s.doc, game, 4), other);
    if (names)
        QVERIFY(lineText(view.get(), unit).contains(shown));
}

// A refused value shows its message and the control shows the stored value again.
void ViewsTest::refusedValue_data() {
    QTest::addColumn<Game>("game");
    QTest::addColumn<QString>("fieldName");
    QTest::addColumn<QString>("typed");
    QTest::addColumn<QString>("message");

    QTest::newRow("PG2 air attack 300") << Game::Pg2 << "airAtk"
                                        << "300"
                                        << "Please enter an integer between 0 and 255.";
    QTest::newRow("PG2 air attack negative") << Game::Pg2 << "airAtk"
                                             << "-1"
                                             << "Please enter an integer between 0 and 255.";
    QTest::newRow("PG2 letters") << Game::Pg2 << "softAtk"
                                 << "12a"
                                 << "Please enter an integer.";
    QTest::newRow("PG2 empty") << Game::Pg2 << "fuel"
                               << ""
                               << "Please enter an integer.";
    QTest::newRow("PG2 cost 3061") << Game::Pg2 << "cost"
                                   << "3061"
                                   << "Please enter an integer between 0 and 3060.";
    QTest::newRow("PG2 year 10000") << Game::Pg2 << "yearExpired"
                                    << "10000"
                                    << "Please enter an integer between 1900 and 2155.";
    QTest::newRow("PG2 sound 100") << Game::Pg2 << "dieMel"
                                   << "100"
                                   << "Please enter an integer between 0 and 99.";
    QTest::newRow("PeG cost 2560") << Game::Peg << "cost"
                                   << "2560"
                                   << "Please enter an integer between 0 and 2550.";
    QTest::newRow("PeG cost between multiples") << Game::Peg << "cost"
                                                << "2545"
                                                << "Please enter a multiple of 10, such as 2540 "
                                                   "or 2550.";
    QTest::newRow("PG2 year that would wrap") << Game::Pg2 << "yearAvaible"
                                              << "2200"
                                              << "Please enter an integer between 1900 and "
                                                 "2155.";
    QTest::newRow("PeG byte55 not a number") << Game::Peg << "byte55"
                                             << "x1"
                                             << "Please enter an integer.";
    QTest::newRow("PeG close 256") << Game::Peg << "closeAtkDef2"
                                   << "256"
                                   << "Please enter an integer between 0 and 255.";
    QTest::newRow("PG2 name too long")
        << Game::Pg2 << "denomination" << QString(1025, QLatin1Char('n'))
        << "Please enter no more than 1024 characters.";
    const QString omega = QString::fromUtf8("Tank \u03a9");
    QTest::newRow("PeG name outside Windows-1252")
        << Game::Peg << "denomination" << omega << Windows1252Refusal(omega);
    QTest::newRow("PG2 icon outside Windows-1252")
        << Game::Pg2 << "icon" << QString::fromUtf8("\u0416")
        << Windows1252Refusal(QString::fromUtf8("\u0416"));
}

void ViewsTest::refusedValue() {
    QFETCH(Game, game);
    QFETCH(QString, fieldName);
    QFETCH(QString, typed);
    QFETCH(QString, message);

    Session s;
    QVERIFY(s.load(game));
    auto view = makeView(s, game);
    clickRow(view.get(), 2);
    const std::string before = stored(s, game, 2, qPrintable(fieldName));
    const Bytes recordBefore = recordOf(s, game, 2);
    s.ui->expectInformation(message.toStdString());
    QLineEdit* edit = editOf(view.get(), qPrintable(fieldName));
    if (typed.size() > 100) {
        edit->setFocus();
        edit->setText(typed);
        QTest::keyClick(edit, Qt::Key_Return);
    } else {
        typeInto(edit, typed, false, unitList(view.get()));
    }
    QVERIFY(s.ui->finished());
    QCOMPARE(stored(s, game, 2, qPrintable(fieldName)), before);
    QVERIFY(recordOf(s, game, 2) == recordBefore);
    QCOMPARE(ToWindows1252(edit->text()).value(), before);
    QVERIFY(!s.doc.isModified());
}

// Drop-downs commit on a choice, check boxes on a click; the list line follows the table.
void ViewsTest::dropDownAndCheckBox_data() {
    QTest::addColumn<Game>("game");
    QTest::addColumn<QString>("fieldName");
    QTest::addColumn<int>("choice"); // drop-down position; -1 for a check box
    QTest::newRow("PG2 class") << Game::Pg2 << "class" << 8;
    QTest::newRow("PG2 country") << Game::Pg2 << "country" << 13;
    QTest::newRow("PG2 until month") << Game::Pg2 << "monthExpired" << 12;
    QTest::newRow("PG2 movement type") << Game::Pg2 << "moveMode" << 1;
    QTest::newRow("PG2 engineer") << Game::Pg2 << "engineer" << -1;
    QTest::newRow("PG2 can't air attack") << Game::Pg2 << "cantAirAtk" << -1;
    QTest::newRow("PeG country") << Game::Peg << "country" << 20;
    QTest::newRow("PeG move method") << Game::Peg << "movType" << 12;
    QTest::newRow("PeG hide") << Game::Peg << "hide" << -1;
    QTest::newRow("PeG B.CloseCbt") << Game::Peg << "bCloseCbt" << -1;
}

void ViewsTest::dropDownAndCheckBox() {
    QFETCH(Game, game);
    QFETCH(QString, fieldName);
    QFETCH(int, choice);
    Session s;
    QVERIFY(s.load(game));
    auto view = makeView(s, game);
    const int unit = 6;
    clickRow(view.get(), unit);
    const QByteArray name = fieldName.toLatin1();
    const std::string before = stored(s, game, unit, name.constData());
    std::string expected;
    if (choice >= 0) {
        QVERIFY(std::to_string(choice) != before);
        auto* combo = widget<QComboBox>(view.get(), fieldName + QStringLiteral("ComboBox"));
        chooseItem(combo, choice);
        QCOMPARE(combo->currentIndex(), choice);
        expected = std::to_string(choice);
    } else {
        auto* box = widget<QCheckBox>(view.get(), fieldName + QStringLiteral("CheckBox"));
        clickBox(box);
        expected = before == "1" ? "0" : "1";
        QCOMPARE(box->isChecked(), expected == "1");
    }
    QCOMPARE(stored(s, game, unit, name.constData()), expected);
    QVERIFY(s.doc.flag(game, ChangeKind::Data));
    QVERIFY(!s.doc.flag(game, ChangeKind::Names));
    QVERIFY(s.doc.title().find(modifiedMark(game)) != std::string::npos);
    if (fieldName == QStringLiteral("country"))
        QVERIFY(lineText(view.get(), unit)
                    .endsWith(FromWindows1252(s.doc.countries(game).name(choice)) +
                              QStringLiteral("]")));
    if (fieldName == QStringLiteral("class"))
        QVERIFY(lineText(view.get(), unit).contains(QLatin1String(ClassCodes(game).text(choice))));
}

// With four iconed options set a fifth is refused with its message; "Hide" is never limited.
void ViewsTest::pegIconedLimit_data() {
    QTest::addColumn<QString>("fifth");
    QTest::addColumn<QString>("message"); // empty: accepted
    QTest::newRow("River Assault") << "riverAssault"
                                   << "Only 4 iconed options";
    QTest::newRow("Quick Entrench") << "quickEntrench"
                                    << "Only 4 iconed options";
    QTest::newRow("Light Infantry") << "lightInfantry"
                                    << "Only 4 iconed options";
    QTest::newRow("Hide") << "hide"
                          << "";
    QTest::newRow("no Helo Atk") << "noHeloAtk"
                                 << "";
}

void ViewsTest::pegIconedLimit() {
    QFETCH(QString, fifth);
    QFETCH(QString, message);
    Session s;
    QVERIFY(s.load(Game::Peg));
    auto view = makeView(s, Game::Peg);
    const int unit = 1;
    s.editPeg([&](PegUnitTable& t) {
        PegUnit& u = t.units[unit];
        u.record[peg::Options1] = 0;
        u.record[peg::Options2] = 0;
        u.record[peg::Options3] = 0;
    });
    const PegUnit& u = s.doc.peg()->units[unit];
    clickRow(view.get(), unit);
    auto* group = widget<QGroupBox>(view.get(), QStringLiteral("iconsGroupBox"));
    QCOMPARE(group->title(), QStringLiteral("0 Icons"));
    for (const char* name : {"ignoreEntrench", "bridge", "airborne", "destroyEntrench"})
        clickBox(widget<QCheckBox>(view.get(), QLatin1String(name) + QStringLiteral("CheckBox")));
    QCOMPARE(group->title(), QStringLiteral("4 Icons"));
    const Bytes before(u.record.bytes.begin(), u.record.bytes.end());

    if (!message.isEmpty())
        s.ui->expectInformation(message.toStdString());
    auto* box = widget<QCheckBox>(view.get(), fifth + QStringLiteral("CheckBox"));
    clickBox(box);
    QVERIFY(s.ui->finished());
    const Bytes after(u.record.bytes.begin(), u.record.bytes.end());
    if (message.isEmpty()) {
        QVERIFY(box->isChecked());
        QVERIFY(after != before);
    } else {
        QVERIFY(!box->isChecked());
        QVERIFY(after == before);
    }
    QCOMPARE(group->title(), QStringLiteral("4 Icons"));
    QCOMPARE(PegIconedCount(u), 4);
}

void ViewsTest::pegIconedLimitLoadedOverFour() {
    Session s;
    QVERIFY(s.load(Game::Peg));
    auto view = makeView(s, Game::Peg);
    const int unit = 2;
    s.editPeg([&](PegUnitTable& t) {
        PegUnit& u = t.units[unit];
        u.record[peg::Options1] = 0x0C; // Ignore Entrench, Bridge
        u.record[peg::Options2] = 0x32; // Airborne, Cbt.Support, River Assault
        u.record[peg::Options3] = 0;
    });
    const PegUnit& u = s.doc.peg()->units[unit];
    clickRow(view.get(), unit);
    auto* group = widget<QGroupBox>(view.get(), QStringLiteral("iconsGroupBox"));
    QCOMPARE(group->title(), QStringLiteral("5 Icons"));
    // Clearing one of five is accepted; setting one again is not, and Cbt.Support says "iconic".
    auto* cbt = widget<QCheckBox>(view.get(), QStringLiteral("cbtSupportCheckBox"));
    clickBox(cbt);
    QCOMPARE(group->title(), QStringLiteral("4 Icons"));
    QVERIFY(!cbt->isChecked());
    s.ui->expectInformation("Only 4 iconic options");
    clickBox(cbt);
    QVERIFY(s.ui->finished());
    QVERIFY(!cbt->isChecked());
    QCOMPARE(u.record[peg::Options2], 0x22);
}

// The read-only displays follow the unit.
void ViewsTest::pegDisplays() {
    Session s;
    QVERIFY(s.load(Game::Peg));
    auto view = makeView(s, Game::Peg);
    s.editPeg([](PegUnitTable& t) {
        PegUnit& bomber = t.units[4];
        bomber.record[peg::Class] = kPegAirMissionClass;
        bomber.record[peg::byte55] = 48;
        bomber.record[peg::byte52] = 1;
        bomber.record[peg::byte52 + 1] = 20;
        bomber.record[peg::byte52 + 2] = 255;
        bomber.record[peg::byte66] = 5;
        PegUnit& tank = t.units[5];
        tank.record[peg::Class] = 2;
        tank.record[peg::byte55] = 48;
    });
    clickRow(view.get(), 4);
    QCOMPARE(widget<QLabel>(view.get(), QStringLiteral("byte54Label"))->text(),
             QStringLiteral("1  20  255"));
    QCOMPARE(widget<QLabel>(view.get(), QStringLiteral("byte67Label"))->text(),
             QStringLiteral("5   00000101"));
    QCOMPARE(widget<QLabel>(view.get(), QStringLiteral("airMissionLabel"))->text(),
             QStringLiteral("AirStrike (16) Defense (32) "));
    clickRow(view.get(), 5);
    QCOMPARE(widget<QLabel>(view.get(), QStringLiteral("airMissionLabel"))->text(), QString());
    QVERIFY(s.doc.setField(Game::Peg, 4, "byte55", "0").ok);
    clickRow(view.get(), 4);
    QCOMPARE(widget<QLabel>(view.get(), QStringLiteral("airMissionLabel"))->text(), QString());
}

void ViewsTest::pegCloseBoxesStayEqual() {
    Session s;
    QVERIFY(s.load(Game::Peg));
    auto view = makeView(s, Game::Peg);
    clickRow(view.get(), 3);
    QLineEdit* first = editOf(view.get(), "closeAtkDef");
    QLineEdit* second = editOf(view.get(), "closeAtkDef2");
    typeInto(first, QStringLiteral("33"), false, second);
    QCOMPARE(second->text(), QStringLiteral("33"));
    typeInto(second, QStringLiteral("44"), true, first);
    QCOMPARE(first->text(), QStringLiteral("44"));
    QCOMPARE(s.doc.peg()->units[3].record[peg::CloseAtkDef], 44);
}

// Country filter, class filter and the name search narrow the list together.
void ViewsTest::filtersAndSearch_data() {
    QTest::addColumn<Game>("game");
    QTest::addColumn<int>("country");
    QTest::addColumn<int>("cls");
    QTest::addColumn<QString>("find");
    QTest::newRow("PG2 class tank") << Game::Pg2 << 0 << 2 << "";
    QTest::newRow("PG2 country 1") << Game::Pg2 << 1 << 0 << "";
    QTest::newRow("PG2 both") << Game::Pg2 << 13 << 1 << "";
    QTest::newRow("PG2 both, no unit") << Game::Pg2 << 26 << 21 << "";
    QTest::newRow("PG2 search, any case") << Game::Pg2 << 0 << 0 << "PANZER";
    QTest::newRow("PG2 search Windows-1252 case")
        << Game::Pg2 << 0 << 0 << QString::fromUtf8("J\u00c4GER");
    QTest::newRow("PG2 search with class") << Game::Pg2 << 0 << 2 << "a";
    QTest::newRow("PeG all three") << Game::Peg << 1 << 1 << "i";
    QTest::newRow("PeG search accented") << Game::Peg << 0 << 0 << QString::fromUtf8("\u00c9");
    QTest::newRow("PeG search outside Windows-1252")
        << Game::Peg << 0 << 0 << QString::fromUtf8("\u03a9");
}

void ViewsTest::filtersAndSearch() {
    QFETCH(Game, game);
    QFETCH(int, country);
    QFETCH(int, cls);
    QFETCH(QString, find);
    Session s;
    QVERIFY(s.load(game));
    auto view = makeView(s, game);

    if (country > 0)
        chooseItem(widget<QComboBox>(view.get(), QStringLiteral("countryFilterComboBox")), country);
    if (cls > 0)
        chooseItem(widget<QComboBox>(view.get(), QStringLiteral("classFilterComboBox")), cls);
    auto* findEdit = widget<QLineEdit>(view.get(), QStringLiteral("findLineEdit"));
    findEdit->setFocus();
    for (const QChar c : find)
        QTest::sendKeyEvent(QTest::Click, findEdit, Qt::Key_unknown, QString(c), Qt::NoModifier);

    std::vector<int> expected;
    const QString lowered = find.toLower();
    for (std::size_t i = 0; i < s.doc.unitCount(game); ++i) {
        const int c = game == Game::Pg2 ? Pg2Country(s.doc.pg2()->units[i].record)
                                        : s.doc.peg()->units[i].record[peg::Country];
        const int k = game == Game::Pg2 ? s.doc.pg2()->units[i].record[pg2::Class]
                                        : s.doc.peg()->units[i].record[peg::Class];
        const QString name = FromWindows1252(nameOf(s.doc, game, i)).toLower();
        if ((country == 0 || c == country) && (cls == 0 || k == cls) && name.contains(lowered))
            expected.push_back(static_cast<int>(i));
    }
    QCOMPARE(listedIndexes(view.get()), expected);
    QCOMPARE(s.doc.view(game).listedUnits, static_cast<int>(expected.size()));
    // The form shows the unit of the selected line, a listed one; nothing when none is listed.
    const int shown = s.doc.view(game).currentUnit;
    if (expected.empty()) {
        QVERIFY(editOf(view.get(), "denomination")->text().isEmpty());
        QVERIFY(!editOf(view.get(), "denomination")->isEnabled());
    } else {
        QVERIFY(std::count(expected.begin(), expected.end(), shown) == 1);
        QCOMPARE(ToWindows1252(editOf(view.get(), "denomination")->text()).value(),
                 nameOf(s.doc, game, shown));
    }
    if (!find.isEmpty())
        QVERIFY(findEdit->hasFocus());
    if (find == QStringLiteral("PANZER") || find == QStringLiteral("a"))
        QVERIFY(expected.size() > 1); // the sample names do contain it
}

// A filter that leaves the current unit out shows the first listed unit, or no unit at all: the
// form never takes edits for a unit its list leaves out.
void ViewsTest::selectionFallsBack() {
    Session s;
    QVERIFY(s.load(Game::Pg2));
    auto view = makeView(s, Game::Pg2);
    auto* classFilter = widget<QComboBox>(view.get(), QStringLiteral("classFilterComboBox"));
    // Tanks (class 2): units 2, 3, 25..29.
    chooseItem(classFilter, 2);
    const std::vector<int> tanks = listedIndexes(view.get());
    QVERIFY(tanks.size() >= 5);
    clickRow(view.get(), 1);
    QCOMPARE(s.doc.view(Game::Pg2).currentUnit, tanks[1]);
    // Infantry: the current tank is not listed; the first listed unit is shown.
    chooseItem(classFilter, 1);
    const std::vector<int> infantry = listedIndexes(view.get());
    QVERIFY(infantry.size() > 2);
    QCOMPARE(s.doc.view(Game::Pg2).currentUnit, infantry[0]);
    QCOMPARE(unitList(view.get())->currentIndex().row(), 0);
    QCOMPARE(ToWindows1252(editOf(view.get(), "denomination")->text()).value(),
             nameOf(s.doc, Game::Pg2, static_cast<std::size_t>(infantry[0])));
    // A list shorter than the old position: its first unit, never unit 0 when it is not listed.
    clickRow(view.get(), 2);
    chooseItem(classFilter, 21);
    const std::vector<int> few = listedIndexes(view.get());
    QVERIFY(!few.empty() && few.size() <= 2);
    QCOMPARE(s.doc.view(Game::Pg2).currentUnit, few[0]);
    QCOMPARE(ToWindows1252(editOf(view.get(), "denomination")->text()).value(),
             nameOf(s.doc, Game::Pg2, static_cast<std::size_t>(few[0])));
    // The current unit stays selected when it is listed.
    chooseItem(classFilter, 0);
    clickRow(view.get(), 28);
    chooseItem(classFilter, 2);
    QCOMPARE(s.doc.view(Game::Pg2).currentUnit, 28);
    QCOMPARE(listedIndexes(
                 view.get())[static_cast<std::size_t>(unitList(view.get())->currentIndex().row())],
             28);
}

// Ctrl+F focuses the search field, Escape clears it; the filters stay.
void ViewsTest::searchKeys() {
    Session s;
    QVERIFY(s.load(Game::Pg2));
    auto view = makeView(s, Game::Pg2);
    chooseItem(widget<QComboBox>(view.get(), QStringLiteral("classFilterComboBox")), 2);
    const std::vector<int> tanks = listedIndexes(view.get());
    unitList(view.get())->setFocus();
    QTest::keyClick(unitList(view.get()), Qt::Key_F, Qt::ControlModifier);
    auto* findEdit = widget<QLineEdit>(view.get(), QStringLiteral("findLineEdit"));
    QVERIFY(findEdit->hasFocus());
    QTest::keyClicks(findEdit, QStringLiteral("tiger"));
    QCOMPARE(listedIndexes(view.get()), std::vector<int>{3});
    QCOMPARE(s.doc.view(Game::Pg2).listedUnits, 1);
    QCOMPARE(s.doc.view(Game::Pg2).currentUnit, 3);
    // Enter and Down go from the search to the first listed unit, in the list.
    for (const Qt::Key key : {Qt::Key_Return, Qt::Key_Down}) {
        findEdit->setFocus();
        QTest::keyClick(findEdit, key);
        QVERIFY(unitList(view.get())->hasFocus());
        QCOMPARE(unitList(view.get())->currentIndex().row(), 0);
        QCOMPARE(s.doc.view(Game::Pg2).currentUnit, 3);
        QCOMPARE(ToWindows1252(editOf(view.get(), "denomination")->text()).value(),
                 nameOf(s.doc, Game::Pg2, 3));
    }
    findEdit->setFocus();
    QTest::keyClick(findEdit, Qt::Key_Escape);
    QVERIFY(findEdit->text().isEmpty());
    QCOMPARE(listedIndexes(view.get()), tanks);
    // FillUnitList (a view switch, a refresh) lists everything and clears the search.
    QTest::keyClicks(findEdit, QStringLiteral("tiger"));
    view->FillUnitList();
    QVERIFY(findEdit->text().isEmpty());
    QCOMPARE(listedIndexes(view.get()).size(), s.doc.unitCount(Game::Pg2));
}

// A double click asks for the other view, which adopts the index when its table has it.
void ViewsTest::switchAdoptsIndex() {
    Session s;
    QVERIFY(s.load(Game::Pg2));
    QVERIFY(s.load(Game::Peg));
    // A smaller PeG table, for the indexes it lacks.
    s.editPeg([](PegUnitTable& t) { t.units.resize(20); });
    s.doc.setCurrentGame(Game::Pg2);
    auto pg2 = makeView(s, Game::Pg2);
    std::vector<Game> asked;
    pg2->switchRequested = [&](Game g) { asked.push_back(g); };
    // No PeG view yet: a double click asks nothing.
    doubleClickRow(pg2.get(), 7);
    QVERIFY(asked.empty());

    auto peg = makeView(s, Game::Peg);
    peg->switchRequested = [&](Game g) { asked.push_back(g); };
    // The PeG view came up on the PG2 view's unit.
    QCOMPARE(s.doc.view(Game::Peg).currentUnit, 7);
    clickRow(peg.get(), 2);
    pg2->activateWindow();
    doubleClickRow(pg2.get(), 9);
    QCOMPARE(asked, std::vector<Game>{Game::Peg});
    peg->FillUnitList(); // what SwitchView does for the view it shows
    QCOMPARE(s.doc.view(Game::Peg).currentUnit, 9);
    QCOMPARE(unitList(peg.get())->currentIndex().row(), 9);
    QCOMPARE(ToWindows1252(editOf(peg.get(), "denomination")->text()).value(),
             nameOf(s.doc, Game::Peg, 9));

    // Back: the PG2 view adopts the PeG view's index.
    peg->activateWindow();
    doubleClickRow(peg.get(), 11);
    QCOMPARE(asked, (std::vector<Game>{Game::Peg, Game::Pg2}));
    pg2->FillUnitList();
    QCOMPARE(s.doc.view(Game::Pg2).currentUnit, 11);

    // An index the other table lacks: that view keeps its own unit.
    const int pegCount = static_cast<int>(s.doc.unitCount(Game::Peg));
    const int pg2Count = static_cast<int>(s.doc.unitCount(Game::Pg2));
    QVERIFY(pg2Count > pegCount);
    pg2->activateWindow();
    clickRow(pg2.get(), pg2Count - 1);
    peg->FillUnitList();
    QCOMPARE(s.doc.view(Game::Peg).currentUnit, 11);
    // A PG2 index past the PeG table's size asks for no switch at all.
    asked.clear();
    doubleClickRow(pg2.get(), pg2Count - 1);
    QVERIFY(asked.empty());
}

// The icon box paints the unit's icon in its frame; "<<" and ">>" page the views.
void ViewsTest::iconBoxAndViews_data() {
    everyFieldHasItsControl_data();
}

void ViewsTest::iconBoxAndViews() {
    QFETCH(Game, game);
    Session s;
    QVERIFY(s.load(game));
    auto view = makeView(s, game);
    clickRow(view.get(), 3);
    IconArchive& archive = s.doc.icons(game);
    QVERIFY(archive.keyCount() > 0);
    const QImage& image = view->iconImage();
    const QRgb border =
        qRgb(iconfile::kBorderColour.r, iconfile::kBorderColour.g, iconfile::kBorderColour.b);
    const QRgb background = qRgb(iconfile::kBackgroundColour.r, iconfile::kBackgroundColour.g,
                                 iconfile::kBackgroundColour.b);
    QCOMPARE(image.pixel(0, 0), border);
    int painted = 0;
    for (int y = iconfile::kInnerTop; y < iconfile::kInnerBottom; ++y)
        for (int x = iconfile::kInnerLeft; x < iconfile::kInnerRight; ++x)
            painted += image.pixel(x, y) != background;
    QVERIFY(painted > 20);
    auto* size = widget<QLabel>(view.get(), QStringLiteral("iconSizeLabel"));
    QCOMPARE(size->text().toStdString(), Format("Size (%d x %d) View:%d ", archive.lastWidth(),
                                                archive.lastHeight(), archive.view()));
    QVERIFY(archive.lastWidth() > 0);
    const int first = archive.view();
    const QImage before = image.copy();
    QTest::mouseClick(widget<QPushButton>(view.get(), QStringLiteral("nextViewButton")),
                      Qt::LeftButton);
    QCOMPARE(archive.view(), first + 1);
    QVERIFY(size->text().endsWith(QStringLiteral("View:%1 ").arg(first + 1)));
    QVERIFY(view->iconImage() != before);
    QVERIFY(unitList(view.get())->hasFocus());
    for (int i = 0; i < 12; ++i)
        QTest::mouseClick(widget<QPushButton>(view.get(), QStringLiteral("prevViewButton")),
                          Qt::LeftButton);
    QCOMPARE(archive.view(), 1);
    // A unit whose icon the archive lacks: the empty frame.
    QVERIFY(s.doc.setField(game, 3, game == Game::Pg2 ? "icon" : "unitIcon", "QQQQQ").ok);
    view->ShowUnit();
    painted = 0;
    for (int y = iconfile::kInnerTop; y < iconfile::kInnerBottom; ++y)
        for (int x = iconfile::kInnerLeft; x < iconfile::kInnerRight; ++x)
            painted += view->iconImage().pixel(x, y) != background;
    QCOMPARE(painted, 0);
    QCOMPARE(view->iconImage().pixel(0, 0), border);
}

// "Select..." opens the chooser on the field's icon; OK stores the chosen key, Cancel nothing.
void ViewsTest::chooseIconThroughChooser_data() {
    QTest::addColumn<Game>("game");
    QTest::addColumn<QString>("button");
    QTest::addColumn<QString>("fieldName");
    QTest::addColumn<bool>("ok");
    QTest::newRow("PG2 OK") << Game::Pg2 << "selectIconButton"
                            << "icon" << true;
    QTest::newRow("PG2 Cancel") << Game::Pg2 << "selectIconButton"
                                << "icon" << false;
    QTest::newRow("PeG main icon") << Game::Peg << "selectUnitIconButton"
                                   << "unitIcon" << true;
    QTest::newRow("PeG move icon") << Game::Peg << "selectMovIconButton"
                                   << "movIcon" << true;
    QTest::newRow("PeG Cancel") << Game::Peg << "selectMovIconButton"
                                << "movIcon" << false;
}

void ViewsTest::chooseIconThroughChooser() {
    QFETCH(Game, game);
    QFETCH(QString, button);
    QFETCH(QString, fieldName);
    QFETCH(bool, ok);
    Session s;
    QVERIFY(s.load(game));
    auto view = makeView(s, game);
    const int unit = 3;
    clickRow(view.get(), unit);
    const QByteArray name = fieldName.toLatin1();
    const std::string before = stored(s, game, unit, name.constData());
    const std::vector<std::string> keys = s.doc.icons(game).keys();
    const std::string wanted = keys.front() == before ? keys.back() : keys.front();

    QString preset;
    bool seen = false;
    QTimer::singleShot(0, this, [&] {
        auto* chooser = qobject_cast<CIconChooser*>(QApplication::activeModalWidget());
        if (chooser == nullptr)
            return;
        seen = true;
        auto* list = chooser->findChild<QListWidget*>(QStringLiteral("iconListWidget"));
        preset = list->currentItem()->text();
        const QList<QListWidgetItem*> found =
            list->findItems(FromWindows1252(wanted), Qt::MatchExactly);
        if (!found.isEmpty()) {
            list->scrollToItem(found.front());
            QTest::mouseClick(list->viewport(), Qt::LeftButton, {},
                              list->visualItemRect(found.front()).center());
        }
        QTest::mouseClick(chooser->findChild<QPushButton*>(ok ? QStringLiteral("okButton")
                                                              : QStringLiteral("cancelButton")),
                          Qt::LeftButton);
    });
    QTest::mouseClick(widget<QPushButton>(view.get(), button), Qt::LeftButton);
    QVERIFY(seen);
    QCOMPARE(preset.toStdString(), before); // the sample icons are all in the archive
    QCOMPARE(stored(s, game, unit, name.constData()), ok ? wanted : before);
    QCOMPARE(s.doc.flag(game, ChangeKind::Data), ok);
    QCOMPARE(editOf(view.get(), name.constData())->text().toStdString(), ok ? wanted : before);
}

// A sound button plays the unit's WAV through the form's player; the samples reach SDL's output.
void ViewsTest::soundButtonPlays() {
    Session s;
    QVERIFY(s.load(Game::Pg2));
    auto view = makeView(s, Game::Pg2);
    clickRow(view.get(), 5); // atkMel 5
    QCOMPARE(stored(s, Game::Pg2, 5, "atkMel"), std::string("5"));
    QTest::mouseClick(widget<QPushButton>(view.get(), QStringLiteral("attackSoundButton")),
                      Qt::LeftButton);
    QCOMPARE(s.doc.settings().soundDir(Game::Pg2), s.folder(Game::Pg2) + "WAVS/");
    const std::uint32_t device = view->soundPlayer().deviceId();
    QVERIFY(device != 0);
    const auto deadline = std::chrono::steady_clock::now() + std::chrono::seconds(10);
    while (SDL_GetQueuedAudioSize(device) > 0 && std::chrono::steady_clock::now() < deadline)
        std::this_thread::sleep_for(std::chrono::milliseconds(2));
    QCOMPARE(SDL_GetQueuedAudioSize(device), 0u);
    view->soundPlayer().Close();
    // The first samples of the 2005.wav tone are in the output, byte for byte.
    const std::vector<std::int16_t> samples =
        SampleSoundSamples(2005, kSampleWavRate, kSampleWavSeconds);
    Bytes needle;
    for (std::size_t i = 100; i < 164; ++i) {
        needle.push_back(static_cast<std::uint8_t>(samples[i] & 0xFF));
        needle.push_back(static_cast<std::uint8_t>((samples[i] >> 8) & 0xFF));
    }
    const Bytes output = readBytes(audioFile_);
    QVERIFY(std::search(output.begin(), output.end(), needle.begin(), needle.end()) !=
            output.end());
}

// A missing sound: the folder chooser, then "%s not found" (and Cancel stores "-").
void ViewsTest::missingSound() {
    Session s;
    QVERIFY(s.load(Game::Peg));
    auto view = makeView(s, Game::Peg);
    clickRow(view.get(), 4);
    typeInto(editOf(view.get(), "dieSnd"), QStringLiteral("42"), true, unitList(view.get()));
    const FileDialogRequest dialog =
        PrepareFileDialog(s.doc.settings(), {.kind = FileKind::PegSound,
                                             .part = PathPart::Folder,
                                             .title = "-",
                                             .defaultExtension = "-",
                                             .fileName = "-",
                                             .filter = "-"});
    s.ui->expectFileDialog(dialog.title, std::nullopt);
    s.ui->expectInformation(
        Format("%s not found", UnitSoundPath(s.folder(Game::Peg) + "WAVS/", 3042).c_str()));
    QTest::mouseClick(widget<QPushButton>(view.get(), QStringLiteral("deathSoundButton")),
                      Qt::LeftButton);
    QVERIFY(s.ui->finished());
    QCOMPARE(s.doc.settings().soundDir(Game::Peg), std::string("-"));
    QCOMPARE(view->soundPlayer().deviceId(), 0u);
}

// The reload asks when the names changed (PeG always), reads them again and clears the flag.
void ViewsTest::reloadNames() {
    for (Game game : {Game::Pg2, Game::Peg}) {
        Session s;
        QVERIFY(s.load(game));
        auto view = makeView(s, game);
        auto* reload = widget<QToolButton>(view.get(), QStringLiteral("reloadNamesButton"));
        const std::string original = nameOf(s.doc, game, 2);
        clickRow(view.get(), 2);
        typeInto(editOf(view.get(), "denomination"), QStringLiteral("Changed"), true,
                 unitList(view.get()));
        QVERIFY(s.doc.flag(game, ChangeKind::Names));
        const std::string question = Format(kReloadQuestion, s.namesFile(game).c_str());
        s.ui->expectQuestion(question, false);
        QTest::mouseClick(reload, Qt::LeftButton);
        QVERIFY(s.ui->finished());
        QCOMPARE(nameOf(s.doc, game, 2), std::string("Changed"));

        s.ui->expectQuestion(question, true);
        QTest::mouseClick(reload, Qt::LeftButton);
        QVERIFY(s.ui->finished());
        QCOMPARE(nameOf(s.doc, game, 2), original);
        QVERIFY(!s.doc.flag(game, ChangeKind::Names));
        QVERIFY(s.doc.title().find(modifiedMark(game)) == std::string::npos);
        QCOMPARE(ToWindows1252(editOf(view.get(), "denomination")->text()).value(), original);
        QVERIFY(lineText(view.get(), 2).contains(FromWindows1252(original)));
        // Unchanged names: PG2 reloads without asking, PeG asks every time.
        if (game == Game::Peg)
            s.ui->expectQuestion(question, true);
        QTest::mouseClick(reload, Qt::LeftButton);
        QVERIFY(s.ui->finished());
    }
}

void ViewsTest::reloadNamesMissingFile() {
    Session s;
    QVERIFY(s.load(Game::Pg2));
    auto view = makeView(s, Game::Pg2);
    const std::string names = s.namesFile(Game::Pg2);
    QVERIFY(QFile::remove(FromPath(names)));
    const FileDialogRequest dialog =
        PrepareFileDialog(s.doc.settings(), {.kind = FileKind::Pg2NamesEFile,
                                             .title = "-",
                                             .defaultExtension = "-",
                                             .fileName = "-",
                                             .filter = "-"});
    s.ui->expectFileDialog(dialog.title, std::nullopt);
    s.ui->expectInformation(Format("file [%s]\nnot found", names.c_str()));
    const std::string before = nameOf(s.doc, Game::Pg2, 1);
    QTest::mouseClick(widget<QToolButton>(view.get(), QStringLiteral("reloadNamesButton")),
                      Qt::LeftButton);
    QVERIFY(s.ui->finished());
    QCOMPARE(nameOf(s.doc, Game::Pg2, 1), before);
    QCOMPARE(s.doc.settings().namesEFile(Game::Pg2), names);
}

// Without a table the form is empty and its edits do nothing.
void ViewsTest::withoutTable() {
    Session s;
    auto view = makeView(s, Game::Peg);
    QLineEdit* air = editOf(view.get(), "airAtk");
    QVERIFY(!air->isEnabled());
    QCOMPARE(s.doc.view(Game::Peg).listedUnits, 0);
    QTest::mouseClick(widget<QPushButton>(view.get(), QStringLiteral("nextViewButton")),
                      Qt::LeftButton);
    QTest::mouseClick(widget<QPushButton>(view.get(), QStringLiteral("selectUnitIconButton")),
                      Qt::LeftButton);
    QVERIFY(!s.doc.isModified());
    // An empty table: nothing to show either.
    s.doc.loadTable(PegUnitTable());
    s.doc.refreshAllViews();
    QVERIFY(!air->isEnabled());
    QVERIFY(listedIndexes(view.get()).empty());
}

void ViewsTest::registration() {
    Session s;
    {
        CView2 pg2(s.doc);
        QVERIFY(s.doc.view(Game::Pg2).registered);
        QVERIFY(!s.doc.view(Game::Peg).registered);
        CView3 peg(s.doc);
        QVERIFY(s.doc.view(Game::Peg).registered);
    }
    QVERIFY(!s.doc.view(Game::Pg2).registered);
    QVERIFY(!s.doc.view(Game::Peg).registered);
    // Loading after the forms are gone reaches no dead observer.
    QVERIFY(s.load(Game::Pg2));
}

// A shortcut or a toolbar button starts its command with what the user typed already stored.
void ViewsTest::commandsCommitTheEditFirst() {
    Session s;
    QVERIFY(s.load(Game::Pg2));
    QWidget window;
    auto* layout = new QVBoxLayout(&window);
    auto* toolbar = new QToolBar(&window);
    auto* view = new CView2(s.doc, &window);
    layout->addWidget(toolbar);
    layout->addWidget(view);
    std::vector<std::string> seen;
    auto* save = new QAction(QStringLiteral("Save"), &window);
    save->setShortcut(QKeySequence(Qt::CTRL | Qt::Key_S));
    save->setShortcutContext(Qt::WindowShortcut);
    window.addAction(save);
    toolbar->addAction(save);
    connect(save, &QAction::triggered, &window,
            [&] { seen.push_back(stored(s, Game::Pg2, 0, "airAtk")); });
    window.show();
    window.activateWindow();
    QVERIFY(QTest::qWaitForWindowActive(&window));

    QLineEdit* air = editOf(view, "airAtk");
    air->setFocus();
    air->selectAll();
    QTest::keyClicks(air, QStringLiteral("77"));
    QTest::keyClick(air, Qt::Key_S, Qt::ControlModifier);
    QCOMPARE(seen, std::vector<std::string>{"77"});
    QVERIFY(air->hasFocus());
    air->selectAll();
    QTest::keyClicks(air, QStringLiteral("78"));
    QTest::mouseClick(toolbar->widgetForAction(save), Qt::LeftButton);
    QCOMPARE(seen, (std::vector<std::string>{"77", "78"}));
    // A refused value still says why, and the command sees the stored value.
    air->selectAll();
    QTest::keyClicks(air, QStringLiteral("999"));
    s.ui->expectInformation("Please enter an integer between 0 and 255.");
    QTest::keyClick(air, Qt::Key_S, Qt::ControlModifier);
    QVERIFY(s.ui->finished());
    QCOMPARE(seen, (std::vector<std::string>{"77", "78", "78"}));
}

// The forms in the real frame: a double click switches the frame, and the shown form adopts the
// other form's unit index.
void ViewsTest::frameSwitchesViews() {
    guitest::Workspace workspace;
    QVERIFY(workspace.ok());
    guitest::Editor editor(workspace, guitest::Forms::Real);
    QVERIFY(editor.started());
    CVarnelDoc& doc = editor.doc();
    doc.setCurrentGame(Game::Pg2);
    QVERIFY(LoadEFile(doc, Game::Pg2, workspace.path(QStringLiteral("pg2/EQUIP97.EQP"))));
    doc.setCurrentGame(Game::Peg);
    QVERIFY(LoadEFile(doc, Game::Peg, workspace.path(QStringLiteral("peg/EQUIP97.EQP"))));
    doc.setCurrentGame(Game::Pg2);
    auto* pg2 = qobject_cast<CView2*>(editor.frame().view(Game::Pg2));
    QVERIFY(pg2 != nullptr);
    QCOMPARE(s_unitCount(doc, Game::Pg2), static_cast<int>(listedIndexes(pg2).size()));
    clickRow(pg2, 7);
    editor.frame().SwitchView(Game::Peg);
    auto* peg = qobject_cast<CView3*>(editor.frame().view(Game::Peg));
    QVERIFY(peg != nullptr);
    QVERIFY(peg->isVisible());
    QCOMPARE(doc.view(Game::Peg).currentUnit, 7);
    clickRow(peg, 3);
    doubleClickRow(peg, 3);
    QCOMPARE(doc.currentGame(), Game::Pg2);
    QVERIFY(pg2->isVisible());
    QVERIFY(!peg->isVisible());
    QCOMPARE(doc.view(Game::Pg2).currentUnit, 3);
    QCOMPARE(ToWindows1252(editOf(pg2, "denomination")->text()).value(), nameOf(doc, Game::Pg2, 3));
    doubleClickRow(pg2, 12);
    QCOMPARE(doc.currentGame(), Game::Peg);
    QCOMPARE(doc.view(Game::Peg).currentUnit, 12);
}

// Both forms fit a 1280 x 800 screen with a frame's menu, toolbar and status bar around them.
// With VARNEL_SCREENSHOT_DIR set, a picture of each form showing a sample unit goes there.
void ViewsTest::formFitsSmallScreen_data() {
    everyFieldHasItsControl_data();
}

void ViewsTest::formFitsSmallScreen() {
    QFETCH(Game, game);
    Session s;
    QVERIFY(s.load(Game::Pg2));
    QVERIFY(s.load(Game::Peg));
    s.doc.setCurrentGame(game);
    auto view = makeView(s, game);
    view->adjustSize();
    clickRow(view.get(), game == Game::Pg2 ? 3 : 2);
    const QByteArray dir = qgetenv("VARNEL_SCREENSHOT_DIR");
    if (!dir.isEmpty()) {
        const QString name =
            game == Game::Pg2 ? QStringLiteral("pg2-form.png") : QStringLiteral("peg-form.png");
        QVERIFY(view->grab().save(QString::fromLocal8Bit(dir) + QLatin1Char('/') + name));
    }
    QVERIFY2(view->width() <= 1280 && view->height() <= 800 - 120,
             qPrintable(QStringLiteral("%1 x %2").arg(view->width()).arg(view->height())));
}

QTEST_MAIN(ViewsTest)
#include "views_test.moc"
