#pragma once

#include "data/DateTimeU.h"
#include "prefs/TavikOptionsU.h"

#include <QList>
#include <QPoint>
#include <QRect>
#include <QSize>
#include <QString>
#include <QStringList>

class QWidget;

// Everything the windows take from the desktop goes through these, one small seam each, so
// that tests can set the time, answer a message box, pick a file and use a folder of their own.

class TUtcClock {
public:
    virtual ~TUtcClock() = default;
    // The current UTC instant, down to milliseconds.
    virtual TDateTime NowUtc() const = 0;
};

enum class TAnswer { Yes, No, Cancel, Ok };

class TMessageBoxes {
public:
    virtual ~TMessageBoxes() = default;
    // An empty caption means the program's name.
    // A plain message with an Ok button; a detail, when given, stands under the text (for
    // example the file that a data-file message is about).
    virtual void Show(QWidget* parent, const QString& text, const QString& caption = {},
                      const QString& detail = {}) = 0;
    // A question with Yes, No and Cancel; closing the box answers Cancel.
    virtual TAnswer AskYesNoCancel(QWidget* parent, const QString& text,
                                   const QString& caption = {}) = 0;
    // A question with Yes and No; closing the box answers No.
    virtual TAnswer AskYesNo(QWidget* parent, const QString& text, const QString& caption = {}) = 0;
    // A choice among buttons named in words, the first one the default; answers the index of the
    // button pressed. The last button is the way out: Escape and closing the box press it.
    virtual int Choose(QWidget* parent, const QString& text, const QStringList& buttons,
                       const QString& caption = {}) = 0;
};

// What a file dialog is opened with, and where its choice is kept.
struct TFileDialogSettings {
    QString DefaultExt;
    QString FileName;
    QString InitialDir;
    QString Filter; // as "Caption (*.ext)|*.ext"
    bool OverwritePrompt = false;
};

class TFileDialogs {
public:
    virtual ~TFileDialogs() = default;
    // On a choice the settings' FileName becomes the chosen file and the answer is true.
    virtual bool Open(QWidget* parent, TFileDialogSettings& settings) = 0;
    virtual bool Save(QWidget* parent, TFileDialogSettings& settings) = 0;
};

class TScreenInfo {
public:
    virtual ~TScreenInfo() = default;
    // The primary screen without task bars and panels.
    virtual QRect WorkArea() const = 0;
    // The work area of the screen that holds the point, the primary one's when none does.
    virtual QRect WorkAreaAt(QPoint) const { return WorkArea(); }
    // The width of all screens together.
    virtual int DesktopWidth() const = 0;
    virtual QList<QRect> ScreenGeometries() const = 0;
};

class TDesktopShell {
public:
    virtual ~TDesktopShell() = default;
    // Hands a file to the desktop's "open" action; false when the desktop could not take it
    // (the file is missing, or nothing on the desktop opens such files).
    virtual bool Open(const QString& path) = 0;
};

struct TPlatform {
    TUtcClock* Clock = nullptr;
    TMessageBoxes* Messages = nullptr;
    TFileDialogs* Files = nullptr;
    TScreenInfo* Screen = nullptr;
    TDesktopShell* Shell = nullptr;
    // The folder of "user.tvk" and "tavikprefs", with a trailing separator: the executable's
    // folder, or the user's own data folder for an installed program (ChooseDataFolder).
    QString ProgramDir;
    // The shipped default world database, to start from when the city list is damaged; empty
    // when there is none.
    QString DefaultWorld;
};

// The real desktop: system clock, Qt message boxes and file dialogs, the primary screen.
TPlatform RealPlatform();

// A Qt rectangle as the plain placement rules take it.
TScreenArea AreaOf(const QRect& r);

// Where a window of that outer size stands centred on the work area's size, the work area's
// origin not added.
QPoint CentredOnWorkArea(const TPlatform& platform, QSize outerSize);

// The top-left corner that puts a window's frame inside the area. A frame larger than the area
// keeps its top-left corner, and with it the title bar, inside.
QPoint KeptInside(const QRect& frame, const QRect& area);
