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

    QStringList keys() const
    {
        QStringList result;
        for (const auto &entry : entries)
            result.append(entry.first);
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
