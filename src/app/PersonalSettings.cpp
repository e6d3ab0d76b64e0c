#include "app/PersonalSettings.h"

#include <QSettings>

namespace {

// The user's configuration file; tests point QSettings elsewhere.
class Datei : public QSettings {
  public:
    Datei()
        : QSettings(QSettings::NativeFormat, QSettings::UserScope, QStringLiteral("Rebkontor"),
                    QStringLiteral("Rebkontor")) {}
};

// A title may hold a slash, which QSettings takes for a group.
QString Schluessel(QString teil) {
    return teil.replace(QLatin1Char('/'), QLatin1Char('_'))
        .replace(QLatin1Char('\\'), QLatin1Char('_'));
}

QString Fenster(int dialog) {
    return QStringLiteral("Fenster/%1/").arg(dialog);
}

QString Spalte(int dialog, int list, int column, const QString& title) {
    return Fenster(dialog) +
           QStringLiteral("Liste%1/Spalte%2 %3").arg(list).arg(column).arg(Schluessel(title));
}

}  // namespace

QByteArray PersonalSettings::Geometry(int dialog) {
    return Datei().value(Fenster(dialog) + QStringLiteral("Geometrie")).toByteArray();
}

void PersonalSettings::SetGeometry(int dialog, const QByteArray& geometry) {
    Datei().setValue(Fenster(dialog) + QStringLiteral("Geometrie"), geometry);
}

int PersonalSettings::ColumnWidth(int dialog, int list, int column, const QString& title) {
    return Datei().value(Spalte(dialog, list, column, title), 0).toInt();
}

void PersonalSettings::SetColumnWidth(int dialog, int list, int column, const QString& title,
                                      int width) {
    Datei().setValue(Spalte(dialog, list, column, title), width);
}

QString PersonalSettings::Folder(const QString& kind) {
    return Datei().value(QStringLiteral("Ordner/") + Schluessel(kind)).toString();
}

void PersonalSettings::SetFolder(const QString& kind, const QString& folder) {
    Datei().setValue(QStringLiteral("Ordner/") + Schluessel(kind), folder);
}
