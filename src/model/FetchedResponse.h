// What a fetch of an address brought back, as the browser session reports it to the model.
#pragma once

#include <QByteArray>
#include <QString>

#include <functional>

struct FetchedResponse
{
    // The body arrived with a status below 400.
    bool ok = false;
    QByteArray body;
    // The server answered with a web page (HTML or XHTML), not a file.
    bool isWebPage = false;
    // For a failure: the HTTP status (0 when the server gave none) and what went wrong.
    int httpStatus = 0;
    QString error;
};

using FetchCompletion = std::function<void(const FetchedResponse &response)>;
