#pragma once
// The application's settings store over QSettings (~/.config/Corvala/Corvala.conf),
// keys written letter for letter as the application names them.

#include "app/QVUserDefaults.h"

#include <QString>

#include <memory>

class QSettings;

class QVQtUserDefaults : public QVUserDefaults {
public:
    /// The user's settings file.
    QVQtUserDefaults();
    /// A settings file at a given path (tests).
    explicit QVQtUserDefaults(const QString& iniPath);
    ~QVQtUserDefaults() override;

    std::optional<Value> objectForKey(const std::string& key) const override;
    void setObject(const std::string& key, Value value) override;
    void removeObjectForKey(const std::string& key) override;
    bool synchronize() override;

    QSettings& settings() { return *settings_; }

private:
    std::unique_ptr<QSettings> settings_;
};
