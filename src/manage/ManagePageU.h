#pragma once

#include "CompanionsU.h"
#include "data/LocationStoreU.h"
#include "widgets/QtListU.h"

#include <QObject>
#include <QString>
#include <cstdint>
#include <functional>
#include <map>
#include <string>

class QGroupBox;
class QLineEdit;
class QListWidget;
class QPushButton;
class QWidget;
class TManageForm;

// Lays a check list out in two columns, filled top to bottom.
void TwoColumns(QListWidget* list);
// Gives the lines of such a list the size of their cells; after every fill.
void FitLinesToColumns(QListWidget* list);

// What every page of the location data window shares: a list side with a search edit and a
// sorted list, a record group, Apply and Close, and the discipline of loading a record from the
// list. Each page fills in its records.
class TManagePageBase : public QObject {
    Q_OBJECT
public:
    // kind: what the page's records are to the location store.
    TManagePageBase(TManageForm& form, TManagePage page, TRecordKind kind);

    // Lists and combos refilled from the collections when the window is prepared.
    virtual void FillLists() = 0;
    // Loads the record of the selected list entry.
    virtual void ShowRecord() = 0;
    // The page's Apply (or delete); false when it was refused.
    virtual bool ApplyRecord() = 0;
    virtual void* EditedRecord() const = 0;
    // The id of the record the page shows; only asked while there is one.
    virtual std::int32_t EditedRecordId() const = 0;
    // Why the record the page shows may not be deleted; empty when it may go.
    virtual std::string DeleteRefusal() const { return {}; }
    virtual void ClearPage() = 0;
    // The records are gone: the page must not name them any more.
    virtual void ForgetRecord() {}
    // The record group, and on the pages that have one the daylight-saving panel.
    virtual void DisablePage();
    // Selects the record's entry and loads it, for opening the window on a record.
    void LoadRecord(const void* record);
    // The page's record of that id; null when there is none.
    virtual const void* FindRecord(std::int32_t id) const = 0;
    // The Location menu's New and Delete on this page (its New...ButtonClick, BeginDelete...).
    virtual void BeginNew() = 0;
    virtual void BeginDelete() = 0;
    // Where the keyboard starts on a new record once the window shows; null leaves it where
    // BeginNew put it.
    virtual QWidget* FirstNewField() const { return nullptr; }
    // Apply's caption in edit mode, with what else edit mode shows on the page.
    virtual void ShowEditCaption();

    // The search edit's change: type-ahead over the list.
    void SearchEditChange();
    // Backspace drops a completion; Enter loads the selected entry. True when the key is used.
    bool SearchEditKey(int key);
    // A click (or the keyboard) on the list: ask about unapplied edits, then load the entry.
    void ListClick();

    void EnableApply();
    // Whether the page holds edits no Apply has stored: typed text, a choice, a check, or an
    // Apply that was refused.
    bool HasUnappliedEdits() const;
    // Unapplied edits: asks "Apply changes?" and applies on Yes. Refused: the Apply was, and
    // the edits stay on the page with their record; Gone: the records went under the question.
    enum class TSettled { Done, Refused, Gone };
    TSettled SettleEdits();
    // The page shows its record as stored (after loading, applying or entering a mode).
    void MarkStored() { Edited = false; }
    // Shows a refusal and puts the keyboard into the field.
    void Refuse(const std::string& message, QWidget* field);
    // After an Apply: refill the list, select the edited record, scroll as the mode wants.
    void ShowAppliedInList(int topRow);
    // Refills the list; no entry is selected.
    void RefillList();
    // The list as it stands, with no entry selected.
    void UnselectList();
    void SelectInList(const void* record);
    int TopRow() const;
    void SetTopRow(int row);
    int SelectedRow() const;

    // The Apply of delete mode, the same on every page: the page's refusal, else the store takes
    // the record away and the page is left empty. False when nothing went.
    bool DeleteRecord();

    // Each page's part of BeginDelete* and New*ButtonClick.
    void EnterDeleteMode();
    void EnterNewMode(const QString& caption);

    TManageForm& Form;
    const TManagePage Page;
    const TRecordKind Kind;
    QWidget* Sheet = nullptr;
    QGroupBox* ListSide = nullptr;
    QLineEdit* SearchEdit = nullptr;
    QListWidget* List = nullptr;
    QGroupBox* RecordGroup = nullptr;
    QPushButton* ApplyButton = nullptr;
    QPushButton* CloseButton = nullptr;
    TQtListTarget ListTarget{nullptr, true, false};
    TQtSearchEdit SearchTarget{nullptr};

protected:
    // Ties the frame's controls to the shared handling; the page names its own handlers.
    void BindFrame(QWidget* sheet, QGroupBox* listSide, QLineEdit* searchEdit, QListWidget* list,
                   QGroupBox* recordGroup, QPushButton* apply, QPushButton* close);
    // A mouse click into a field runs the handler (an edit's OnClick).
    void OnFieldClick(QWidget* field, std::function<void()> handler);
    bool eventFilter(QObject* watched, QEvent* e) override;
    // Whether the list is being refilled: its row changes are no user's.
    bool Refilling = false;
    // The page's key handler of its search edit.
    std::function<bool(int)> SearchKeyHandler;
    // Set by the user's own changes in the record group, cleared by MarkStored.
    bool Edited = false;

private:
    std::map<QObject*, std::function<void()>> FieldClicks;
};
