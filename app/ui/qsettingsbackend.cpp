#include "app/ui/qsettingsbackend.h"

#include "app/ui/text1252.h"

#include <QDir>

namespace varnel {

namespace {
const QString kSection = QStringLiteral("Settings");
const QString kRecentSection = QStringLiteral("Recent File List");

QString key(const std::string& name) {
    return kSection + QLatin1Char('/') +
           QString::fromUtf8(name.data(), static_cast<qsizetype>(name.size()));
}

// Two spellings of one file are one entry: on Windows letter case does not matter.
bool sameFile(const QString& a, const QString& b) {
#ifdef _WIN32
    return QDir::cleanPath(a).compare(QDir::cleanPath(b), Qt::CaseInsensitive) == 0;
#else
    return QDir::cleanPath(a) == QDir::cleanPath(b);
#endif
}
} // namespace

QSettingsBackend::QSettingsBackend()
    : settings_(
          std::make_unique<QSettings>(QStringLiteral("Korrin_Tools"), QStringLiteral("Varnel"))) {}

QSettingsBackend::QSettingsBackend(const QString& iniPath)
    : settings_(std::make_unique<QSettings>(iniPath, QSettings::IniFormat)) {}

QSettingsBackend::~QSettingsBackend() {
    settings_->sync();
}

std::optional<std::string> QSettingsBackend::read(const std::string& name) {
    const QVariant value = settings_->value(key(name));
    if (!value.isValid())
        return std::nullopt;
    // An INI file edited by hand may hold an unquoted text with commas, which reads as a list.
    if (value.typeId() == QMetaType::QStringList)
        return ToPath(value.toStringList().join(QStringLiteral(", ")));
    return ToPath(value.toString());
}

void QSettingsBackend::write(const std::string& name, const std::string& value) {
    settings_->setValue(key(name), FromPath(value));
    // Written at once, as the registry is: a crash later keeps what was stored.
    settings_->sync();
}

void QSettingsBackend::remove(const std::string& name) {
    settings_->remove(key(name));
    settings_->sync();
}

RecentFileList::RecentFileList(QSettings& store) : store_(store) {
    store_.beginGroup(kRecentSection);
    for (int i = 1; i <= kMaxEntries; ++i) {
        const QString path = store_.value(QStringLiteral("File%1").arg(i)).toString();
        if (path.isEmpty())
            continue;
        bool duplicate = false;
        for (const QString& f : files_)
            duplicate = duplicate || sameFile(f, path);
        if (duplicate)
            continue;
        files_.append(path);
        const QString game = store_.value(QStringLiteral("Game%1").arg(i)).toString();
        games_.append(game == QLatin1String(GameName(Game::Pg2))   ? std::optional(Game::Pg2)
                      : game == QLatin1String(GameName(Game::Peg)) ? std::optional(Game::Peg)
                                                                   : std::nullopt);
    }
    store_.endGroup();
}

void RecentFileList::add(const QString& path, std::optional<Game> game) {
    if (path.isEmpty())
        return;
    remove(path);
    files_.prepend(path);
    games_.prepend(game);
    while (files_.size() > kMaxEntries) {
        files_.removeLast();
        games_.removeLast();
    }
    save();
}

void RecentFileList::remove(const QString& path) {
    bool removed = false;
    for (qsizetype i = files_.size() - 1; i >= 0; --i) {
        if (sameFile(files_.at(i), path)) {
            files_.removeAt(i);
            games_.removeAt(i);
            removed = true;
        }
    }
    if (removed)
        save();
}

void RecentFileList::save() {
    store_.beginGroup(kRecentSection);
    store_.remove(QString());
    for (qsizetype i = 0; i < files_.size(); ++i) {
        store_.setValue(QStringLiteral("File%1").arg(i + 1), files_.at(i));
        if (const auto game = games_.at(i))
            store_.setValue(QStringLiteral("Game%1").arg(i + 1), QLatin1String(GameName(*game)));
    }
    store_.endGroup();
    store_.sync();
}

} // namespace varnel
