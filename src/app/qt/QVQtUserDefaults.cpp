#include "QVQtUserDefaults.h"

#include <QSettings>

QVQtUserDefaults::QVQtUserDefaults()
    : settings_(std::make_unique<QSettings>(QSettings::IniFormat, QSettings::UserScope,
                                            QStringLiteral("Corvala"), QStringLiteral("Corvala"))) {}

QVQtUserDefaults::QVQtUserDefaults(const QString& iniPath)
    : settings_(std::make_unique<QSettings>(iniPath, QSettings::IniFormat)) {}

QVQtUserDefaults::~QVQtUserDefaults() = default;

std::optional<QVUserDefaults::Value> QVQtUserDefaults::objectForKey(const std::string& key) const {
    const QVariant v = settings_->value(QString::fromStdString(key));
    if (!v.isValid())
        return std::nullopt;
    // An ini file gives back text for every kind of value; the typed readers
    // of the base class read text as the type they ask for.
    switch (v.typeId()) {
    case QMetaType::Bool:
        return Value{v.toBool()};
    case QMetaType::Int:
    case QMetaType::LongLong:
    case QMetaType::UInt:
    case QMetaType::ULongLong:
        return Value{static_cast<int64_t>(v.toLongLong())};
    case QMetaType::Double:
    case QMetaType::Float:
        return Value{v.toDouble()};
    default:
        return Value{v.toString().toStdString()};
    }
}

void QVQtUserDefaults::setObject(const std::string& key, Value value) {
    QVariant v;
    if (auto* b = std::get_if<bool>(&value))
        v = *b;
    else if (auto* i = std::get_if<int64_t>(&value))
        v = static_cast<qlonglong>(*i);
    else if (auto* d = std::get_if<double>(&value))
        v = *d;
    else
        v = QString::fromStdString(std::get<std::string>(value));
    settings_->setValue(QString::fromStdString(key), v);
}

void QVQtUserDefaults::removeObjectForKey(const std::string& key) {
    settings_->remove(QString::fromStdString(key));
}

bool QVQtUserDefaults::synchronize() {
    settings_->sync();
    return settings_->status() == QSettings::NoError;
}
