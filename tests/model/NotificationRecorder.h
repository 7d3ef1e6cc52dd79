// Records every model notification a test's model posts, as key and value pairs.
#pragma once

#include "BrevantModel.h"

#include <QList>
#include <QPair>
#include <QStringList>
#include <QVariant>

class NotificationRecorder
{
public:
    explicit NotificationRecorder(BrevantModel &model)
        : mModel(model)
    {
        mModel.addObserver(this, [this](const ModelNotification &n) { record(n); });
    }
    ~NotificationRecorder() { mModel.removeObserver(this); }
    Q_DISABLE_COPY_MOVE(NotificationRecorder)

    // The keys in posting order, leaving out the Jira commands' status and busy flag, which
    // come and go with every step, and the saved export's path for the sprint report; they have
    // tests of their own.
    QStringList keys() const
    {
        QStringList result;
        for (const auto &entry : entries) {
            if (!isOwnKey(entry.first))
                result.append(entry.first);
        }
        return result;
    }
    // The status texts in posting order.
    QStringList statuses() const
    {
        QStringList result;
        for (const auto &entry : entries) {
            if (entry.first == QLatin1String("BV_status"))
                result.append(entry.second.toString());
        }
        return result;
    }
    // The value posted last under the key; invalid when none was posted.
    QVariant last(const QString &key) const
    {
        for (auto it = entries.crbegin(); it != entries.crend(); ++it) {
            if (it->first == key)
                return it->second;
        }
        return {};
    }
    void clear() { entries.clear(); }

    QList<QPair<QString, QVariant>> entries;
    int payloadsWithOtherThanOneKey = 0;

private:
    static bool isOwnKey(const QString &key)
    {
        return key == QLatin1String("BV_status") || key == QLatin1String("BV_busy") ||
               key == QLatin1String("BV_exportSaved");
    }
    void record(const ModelNotification &notification)
    {
        if (notification.userInfo.size() != 1) {
            ++payloadsWithOtherThanOneKey;
            return;
        }
        entries.append({notification.userInfo.firstKey(), notification.userInfo.first()});
    }

    BrevantModel &mModel;
};
