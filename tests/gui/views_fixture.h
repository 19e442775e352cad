#pragma once
// What the unit-form tests share: a document over a scripted Ui port with settings in memory, the
// sample game folders written into a temporary folder, and helpers that drive the real widgets.

#include "app/efileio.h"
#include "app/samples/samples.h"
#include "app/ui/text1252.h"
#include "app/varneldoc.h"
#include "tests/gui/support/guisupport.h"

#include <QAbstractItemView>
#include <QComboBox>
#include <QLineEdit>
#include <QListView>
#include <QTest>

#include <functional>
#include <memory>
#include <string>

namespace varnel::viewstest {

class Session {
  public:
    Session() : ui(guitest::MakeQtScriptedUi()), doc(*ui, store) {
        ReadAllSettings(doc.settings(), store);
        doc.settings().dir(Game::Pg2) = doc.settings().altDir(Game::Pg2) = folder(Game::Pg2);
        doc.settings().dir(Game::Peg) = doc.settings().altDir(Game::Peg) = folder(Game::Peg);
        doc.settings().soundDir(Game::Pg2) = doc.settings().soundDir(Game::Peg) = "-";
        doc.markSettingsLoaded();
    }
    ~Session() { ui->verify(); }

    std::string folder(Game g) const {
        return workspace.path(g == Game::Pg2 ? QStringLiteral("pg2") : QStringLiteral("peg")) + "/";
    }
    std::string eFile(Game g) const { return folder(g) + "EQUIP97.EQP"; }
    std::string namesFile(Game g) const { return folder(g) + "EQUIP97.txt"; }

    // Loads the game's sample E-File as the current game.
    bool load(Game g) {
        doc.setCurrentGame(g);
        return LoadEFile(doc, g, eFile(g));
    }

    // Changes the loaded PeG (or PG2) table as if its file had held the change: the table is
    // loaded again, clean, and the forms are told.
    void editPeg(const std::function<void(PegUnitTable&)>& edit) {
        PegUnitTable table = *doc.peg();
        edit(table);
        doc.loadTable(std::move(table));
        doc.refreshAllViews();
    }

    guitest::Workspace workspace;
    std::unique_ptr<ScriptedUi> ui;
    MemorySettingsBackend store;
    CVarnelDoc doc;
};

template <class T> T* widget(QWidget* parent, const QString& name) {
    return parent->findChild<T*>(name);
}

inline QListView* unitList(QWidget* view) {
    return widget<QListView>(view, QStringLiteral("unitListView"));
}

// The table indexes the list shows, top to bottom.
inline std::vector<int> listedIndexes(QWidget* view) {
    QListView* list = unitList(view);
    std::vector<int> out;
    for (int r = 0; r < list->model()->rowCount(); ++r)
        out.push_back(list->model()->index(r, 0).data(Qt::UserRole).toInt());
    return out;
}

inline QString lineText(QWidget* view, int row) {
    return unitList(view)->model()->index(row, 0).data().toString();
}

// Clicks line `row` of the unit list.
inline void clickRow(QWidget* view, int row) {
    QListView* list = unitList(view);
    const QModelIndex index = list->model()->index(row, 0);
    list->scrollTo(index);
    QTest::mouseClick(list->viewport(), Qt::LeftButton, {}, list->visualRect(index).center());
}

inline void doubleClickRow(QWidget* view, int row) {
    QListView* list = unitList(view);
    const QModelIndex index = list->model()->index(row, 0);
    list->scrollTo(index);
    const QPoint at = list->visualRect(index).center();
    QTest::mouseClick(list->viewport(), Qt::LeftButton, {}, at);
    QTest::mouseDClick(list->viewport(), Qt::LeftButton, {}, at);
}

// Picks item `row` of a drop-down from its opened list, as the mouse does.
inline void chooseItem(QComboBox* combo, int row) {
    combo->setFocus();
    combo->showPopup();
    QAbstractItemView* list = combo->view();
    const QModelIndex index = list->model()->index(row, 0);
    list->scrollTo(index);
    QTest::qWait(1);
    QTest::mouseClick(list->viewport(), Qt::LeftButton, {}, list->visualRect(index).center());
}

// Replaces the text of an edit box by typing, then leaves it by Return or by moving the focus.
inline void typeInto(QLineEdit* edit, const QString& text, bool byReturn, QWidget* elsewhere) {
    edit->setFocus();
    edit->selectAll();
    QTest::keyClick(edit, Qt::Key_Delete);
    // Key events carry their text, so characters beyond ASCII are typed too.
    for (const QChar c : text)
        QTest::sendKeyEvent(QTest::Click, edit, Qt::Key_unknown, QString(c), Qt::NoModifier);
    if (byReturn)
        QTest::keyClick(edit, Qt::Key_Return);
    else
        elsewhere->setFocus();
}

} // namespace varnel::viewstest
