#include "widgets/PlatformU.h"

#include "clock/WindowPlacementU.h"
#include "widgets/DataFolderU.h"

#include <algorithm>

#include <QApplication>
#include <QCoreApplication>
#include <QDateTime>
#include <QDesktopServices>
#include <QDir>
#include <QFileDialog>
#include <QFileInfo>
#include <QGuiApplication>
#include <QMessageBox>
#include <QProcess>
#include <QPushButton>
#include <QScreen>
#include <QStandardPaths>
#include <QUrl>

namespace {

class TSystemClock : public TUtcClock {
public:
    TDateTime NowUtc() const override {
        return FromUnixMilliseconds(QDateTime::currentMSecsSinceEpoch());
    }
};

class TQtMessageBoxes : public TMessageBoxes {
    static QString Caption(const QString& caption) {
        return caption.isEmpty() ? QCoreApplication::applicationName() : caption;
    }

public:
    void Show(QWidget* parent, const QString& text, const QString& caption,
              const QString& detail) override {
        QMessageBox box(QMessageBox::Information, Caption(caption), text, QMessageBox::Ok, parent);
        box.setInformativeText(detail);
        box.exec();
    }
    TAnswer AskYesNoCancel(QWidget* parent, const QString& text, const QString& caption) override {
        const auto b = QMessageBox::question(
            parent, Caption(caption), text,
            QMessageBox::Yes | QMessageBox::No | QMessageBox::Cancel, QMessageBox::Yes);
        return b == QMessageBox::Yes  ? TAnswer::Yes
               : b == QMessageBox::No ? TAnswer::No
                                      : TAnswer::Cancel;
    }
    TAnswer AskYesNo(QWidget* parent, const QString& text, const QString& caption) override {
        const auto b = QMessageBox::question(parent, Caption(caption), text,
                                             QMessageBox::Yes | QMessageBox::No, QMessageBox::Yes);
        return b == QMessageBox::Yes ? TAnswer::Yes : TAnswer::No;
    }
    int Choose(QWidget* parent, const QString& text, const QStringList& buttons,
               const QString& caption) override {
        QMessageBox box(QMessageBox::Warning, Caption(caption), text, QMessageBox::NoButton,
                        parent);
        QList<QAbstractButton*> pressed;
        for (int i = 0; i < buttons.size(); ++i) {
            const bool last = i == buttons.size() - 1;
            pressed.append(box.addButton(buttons[i],
                                         last ? QMessageBox::RejectRole : QMessageBox::AcceptRole));
        }
        if (!pressed.isEmpty()) {
            box.setDefaultButton(qobject_cast<QPushButton*>(pressed.first()));
            box.setEscapeButton(pressed.last());
        }
        box.exec();
        const int i = static_cast<int>(pressed.indexOf(box.clickedButton()));
        return i < 0 ? static_cast<int>(buttons.size()) - 1 : i;
    }
};

// "Caption (*.ext)|*.ext" becomes the Qt filter "Caption (*.ext)".
QString QtFilter(const QString& filter) {
    return filter.section(QLatin1Char('|'), 0, 0);
}

QString WithDefaultExt(const QString& name, const QString& ext) {
    if (name.isEmpty() || ext.isEmpty() || !QFileInfo(name).suffix().isEmpty())
        return name;
    return name + QLatin1Char('.') + ext;
}

class TQtFileDialogs : public TFileDialogs {
public:
    bool Open(QWidget* parent, TFileDialogSettings& s) override {
        const QString start = s.FileName.isEmpty() ? s.InitialDir : s.FileName;
        const QString name =
            QFileDialog::getOpenFileName(parent, QString(), start, QtFilter(s.Filter));
        if (name.isEmpty())
            return false;
        s.FileName = name;
        return true;
    }
    bool Save(QWidget* parent, TFileDialogSettings& s) override {
        const QString start = s.FileName.isEmpty() ? s.InitialDir : s.FileName;
        QFileDialog::Options options;
        if (!s.OverwritePrompt)
            options |= QFileDialog::DontConfirmOverwrite;
        const QString name = QFileDialog::getSaveFileName(parent, QString(), start,
                                                          QtFilter(s.Filter), nullptr, options);
        if (name.isEmpty())
            return false;
        s.FileName = WithDefaultExt(name, s.DefaultExt);
        return true;
    }
};

class TQtScreenInfo : public TScreenInfo {
public:
    QRect WorkArea() const override {
        const QScreen* s = QGuiApplication::primaryScreen();
        return s ? s->availableGeometry() : QRect(0, 0, 1024, 768);
    }
    QRect WorkAreaAt(QPoint p) const override {
        const QScreen* s = QGuiApplication::screenAt(p);
        return s ? s->availableGeometry() : WorkArea();
    }
    int DesktopWidth() const override {
        const QScreen* s = QGuiApplication::primaryScreen();
        return s ? s->virtualGeometry().width() : 1024;
    }
    QList<QRect> ScreenGeometries() const override {
        QList<QRect> r;
        for (const QScreen* s : QGuiApplication::screens())
            r.append(s->geometry());
        return r;
    }
};

class TQtDesktopShell : public TDesktopShell {
public:
    bool Open(const QString& path) override {
        if (!QFileInfo::exists(path))
            return false;
        const QString opener = QStandardPaths::findExecutable(QStringLiteral("xdg-open"));
        if (opener.isEmpty())
            return QDesktopServices::openUrl(QUrl::fromLocalFile(path));
        // xdg-open answers at once when no program on the desktop opens such files; a browser
        // it starts may keep it running, so the answer is awaited without blocking the clock.
        auto* process = new QProcess(qApp);
        QObject::connect(process, &QProcess::finished, process, [process, path](int code) {
            process->deleteLater();
            if (code != 0)
                QMessageBox::information(
                    nullptr, QCoreApplication::applicationName(),
                    QStringLiteral("The user guide is at %1").arg(QDir::toNativeSeparators(path)));
        });
        QObject::connect(process, &QProcess::errorOccurred, process,
                         [process](QProcess::ProcessError e) {
                             if (e == QProcess::FailedToStart)
                                 process->deleteLater();
                         });
        process->start(opener, {QUrl::fromLocalFile(path).toString()});
        return process->waitForStarted(3000);
    }
};

} // namespace

TPlatform RealPlatform() {
    static TSystemClock clock;
    static TQtMessageBoxes messages;
    static TQtFileDialogs files;
    static TQtScreenInfo screen;
    static TQtDesktopShell shell;
    TPlatform p;
    p.Clock = &clock;
    p.Messages = &messages;
    p.Files = &files;
    p.Screen = &screen;
    p.Shell = &shell;
    p.ProgramDir = ChooseDataFolder(QCoreApplication::applicationDirPath(), UserDataDir());
    p.DefaultWorld = DefaultWorldFile(QCoreApplication::applicationDirPath());
    return p;
}

TScreenArea AreaOf(const QRect& r) {
    return {r.x(), r.y(), r.width(), r.height()};
}

QPoint CentredOnWorkArea(const TPlatform& platform, QSize outer) {
    const TWindowPos p =
        CentredInArea(AreaOf(platform.Screen->WorkArea()), outer.width(), outer.height());
    return {p.Left, p.Top};
}

QPoint KeptInside(const QRect& frame, const QRect& area) {
    const TWindowPos p = KeptInArea(AreaOf(frame), AreaOf(area));
    return {p.Left, p.Top};
}
