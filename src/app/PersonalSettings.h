#pragma once

#include <QByteArray>
#include <QString>

// What the window remembers for the user who works with it, and for no one
// else: where each dialog stood and how big it was, the column widths the
// user chose, and the folder each kind of file was last saved in. It lives
// in the user's own configuration (~/.config/Rebkontor), never in the data
// folder, which may be shared or copied to another machine.
class PersonalSettings {
  public:
    // Empty when the dialog has never been closed.
    static QByteArray Geometry(int dialog);
    static void SetGeometry(int dialog, const QByteArray& geometry);

    // A column is known by its place and its title, as a dialog shows
    // different columns in its modes. 0 when the user never widened it.
    static int ColumnWidth(int dialog, int list, int column, const QString& title);
    static void SetColumnWidth(int dialog, int list, int column, const QString& title, int width);

    // By the save dialog's title, which names the kind of file. Empty when
    // none has been saved yet.
    static QString Folder(const QString& kind);
    static void SetFolder(const QString& kind, const QString& folder);
};
