#include "ui/SettingsStore.h"

#include <QSettings>

namespace kv {

namespace {
QString key(const char* section, const char* name) {
    return QString::fromLatin1(section) + '/' + QString::fromLatin1(name);
}
int readInt(const char* section, const char* name, int fallback) {
    QSettings s("Korvalinth", "Korvalinth");
    bool ok = false;
    int v = s.value(key(section, name), fallback).toInt(&ok);
    return ok ? v : fallback;
}
}  // namespace

Settings SettingsStore::load() const {
    Settings s;
    s.ndigits = readInt(kSectionParser, kKeyDigits, 12);
    if (s.ndigits < 0 || s.ndigits > 15) s.ndigits = 12;
    s.querySave = readInt(kSectionUi, kKeyQuerySave, 1) != 0;
    s.formatOutput = readInt(kSectionUi, kKeyFormatOutput, 1) != 0;
    s.showGToolbar = readInt(kSectionUi, kKeyShowGToolbar, 1) != 0;
    return s;
}

void SettingsStore::save(const Settings& settings) const {
    QSettings s("Korvalinth", "Korvalinth");
    s.setValue(key(kSectionParser, kKeyDigits), settings.ndigits);
    s.setValue(key(kSectionUi, kKeyQuerySave), settings.querySave ? 1 : 0);
    s.setValue(key(kSectionUi, kKeyFormatOutput), settings.formatOutput ? 1 : 0);
    s.setValue(key(kSectionUi, kKeyShowGToolbar), settings.showGToolbar ? 1 : 0);
    s.sync();
}

bool SettingsStore::querySave() const {
    return readInt(kSectionUi, kKeyQuerySave, 1) != 0;
}
bool SettingsStore::formatOutput() const {
    return readInt(kSectionUi, kKeyFormatOutput, 1) != 0;
}

}  // namespace kv
