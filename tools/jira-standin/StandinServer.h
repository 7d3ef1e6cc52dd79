// A small stand-in for a Jira Server issue navigator on 127.0.0.1: login, issue search, CSV export.
#pragma once

#include "StandinPages.h"

#include <QByteArray>
#include <QHttpServer>
#include <QHttpServerResponse>
#include <QObject>
#include <QSet>
#include <QString>
#include <QUrl>

#include <vector>

class QHttpServerRequest;
class QHttpServerResponder;

class StandinServer final : public QObject
{
    Q_OBJECT
    Q_DISABLE_COPY_MOVE(StandinServer)

public:
    // What the last export request was answered with.
    struct ExportAnswer
    {
        int status = 0;
        QString query;
        QByteArray body;
        QByteArray userAgent;
        // The "pager/start" asked for: the issues on the pages before.
        qsizetype pageStart = 0;
    };

    explicit StandinServer(QObject *parent = nullptr);
    ~StandinServer() override;

    // Listens on 127.0.0.1; port 0 picks a free one. Returns the port, or 0 when it failed.
    quint16 listen(quint16 port = 0);

    QUrl loginURL() const { return address(QStringLiteral("/login.jsp")); }
    QUrl searchURL() const { return address(QStringLiteral("/issues/")); }
    QUrl pageWithoutNavigatorURL() const
    {
        return address(QStringLiteral("/secure/Dashboard.jspa"));
    }
    QUrl issueURL(const QString &key) const { return address(QStringLiteral("/browse/") + key); }
    QUrl logoutURL() const { return address(QStringLiteral("/logout")); }
    QUrl statusURL(int status) const
    {
        return address(QStringLiteral("/status/") + QString::number(status));
    }
    QUrl exportURL(const QString &query) const;

    // How many issues the search page's export link asks for at most; Jira's default is 1,000.
    // An export asks for the issues past the first pages with "pager/start", as Jira's does.
    void setExportCap(qsizetype cap) { mExportCap = cap; }
    // Page number page (from 1) of every export fails with status 500; 0 for none.
    void setFailingExportPage(int page) { mFailingPage = page; }
    // Held exports are never answered, as by a server that has gone quiet.
    void setExportsHeld(bool held) { mExportsHeld = held; }
    // How slow the search page is, as a busy Jira is.
    void setSearchPageTiming(const StandinPages::SearchPageTiming &timing) { mTiming = timing; }

    int exportRequestCount() const { return mExportRequests; }
    ExportAnswer lastExport() const { return mLastExport; }

Q_SIGNALS:
    void exportAnswered();

private:
    QUrl address(const QString &path) const;
    void addRoutes();
    QHttpServerResponse logIn(const QHttpServerRequest &request);
    QHttpServerResponse answerExport(const QHttpServerRequest &request);
    QHttpServerResponse refuseExport(QHttpServerResponse::StatusCode status,
                                     const QByteArray &message);
    bool hasSession(const QHttpServerRequest &request) const;

    QHttpServer mServer;
    quint16 mPort = 0;
    QSet<QByteArray> mSessions;
    int mExportRequests = 0;
    qsizetype mExportCap = 1000;
    int mFailingPage = 0;
    StandinPages::SearchPageTiming mTiming;
    bool mExportsHeld = false;
    std::vector<QHttpServerResponder> mHeldExports;
    ExportAnswer mLastExport;
};
