// One change report of the model: a name, its sender and exactly one key with its value.
#pragma once

#include <QString>
#include <QVariantMap>

#include <functional>

class BrevantModel;

inline const QString kModelNotificationName = QStringLiteral("BV_modelNotification");

struct ModelNotification
{
    QString name;
    const BrevantModel *sender = nullptr;
    QVariantMap userInfo;
};

using NotificationHandler = std::function<void(const ModelNotification &)>;
