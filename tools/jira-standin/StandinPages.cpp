#include "StandinPages.h"

namespace {

const char kStyle[] = R"(<style>
body { margin: 0; font: 14px "DejaVu Sans", sans-serif; color: #172b4d; background: #f4f5f7; }
header { background: #0747a6; color: #fff; padding: 10px 20px; font-weight: bold; }
main { margin: 20px; padding: 20px; background: #fff; border-radius: 4px; }
h1 { font-size: 20px; margin-top: 0; }
textarea { width: 70%; font: 13px monospace; vertical-align: middle; }
.aui-button { padding: 6px 12px; border: 1px solid #c1c7d0; border-radius: 3px; background: #fff;
  cursor: pointer; }
.search-button { background: #0052cc; color: #fff; }
.operations { margin: 12px 0; }
#export-menu { display: inline-block; margin-left: 8px; padding: 4px 8px; border: 1px solid #c1c7d0; }
table { border-collapse: collapse; width: 100%; margin-top: 10px; }
th, td { text-align: left; border-bottom: 1px solid #dfe1e6; padding: 4px 8px; }
.message { color: #de350b; }
</style>)";

QByteArray page(const QByteArray &title, const QByteArray &body)
{
    return "<!DOCTYPE html>\n<html><head><meta charset=\"utf-8\"><title>" + title +
           " - Stand-in Jira</title>" + kStyle + "</head>\n<body><header>Stand-in Jira</header>\n" +
           body + "</body></html>\n";
}

QByteArray htmlEscaped(const QString &text)
{
    return text.toHtmlEscaped().toUtf8();
}

const char kSearchBody[] = R"(<main>
<h1>Search</h1>
<textarea id="advanced-search" rows="3" placeholder="project = ABC AND created >= 2020-03-14"></textarea>
<button type="button" class="aui-item aui-button aui-button-subtle search-button">Search</button>
<div class="operations">
<button type="button"
 class="aui-button header-views header-operations aui-dropdown-trigger standard lnk no-icon">Export</button>
<span id="export-menu" hidden>%MENULINK%</span>
</div>
<p id="result-count">No search yet.</p>
<table><thead><tr><th>Key</th><th>Summary</th><th>Status</th><th>Created</th></tr></thead>
<tbody id="results"></tbody></table>
</main>
<script>
(function () {
    const box = document.getElementById('advanced-search');
    const menu = document.getElementById('export-menu');
    const count = document.getElementById('result-count');
    const rows = document.getElementById('results');
    const exportPath = '%EXPORT%';
    const exportCap = %CAP%;
    // Milliseconds before the results, and the export menu, arrive; -1 for never.
    const searchDelay = %SEARCHDELAY%;
    const menuDelay = %MENUDELAY%;
    // As Jira's, the export link follows the last search that finished.
    let finishedQuery = '';
    function exportAddress() {
        return exportPath + '?jqlQuery=' + encodeURIComponent(finishedQuery) + '&tempMax=' +
            exportCap;
    }
    function pointExportAt(query) {
        finishedQuery = query;
        const link = document.getElementById('currentCsvFields');
        if (link)
            link.href = exportAddress();
    }
    function showResults(issues) {
        rows.replaceChildren();
        for (const issue of issues) {
            const row = rows.insertRow();
            const link = document.createElement('a');
            link.href = '/browse/' + encodeURIComponent(issue.key);
            link.textContent = issue.key;
            row.insertCell().append(link);
            for (const field of ['summary', 'status', 'created'])
                row.insertCell().textContent = issue[field];
        }
        count.textContent = issues.length + ' issue(s) found.';
    }
    function afterDelay(delay, action) {
        if (delay === 0)
            action();
        else if (delay > 0)
            setTimeout(action, delay);
    }
    document.querySelector('button.search-button').addEventListener('click', function () {
        const query = box.value;
        count.textContent = 'Searching...';
        afterDelay(searchDelay, function () {
            fetch('/rest/api/2/search?jql=' + encodeURIComponent(query))
                .then(function (response) { return response.json(); })
                .then(function (issues) { showResults(issues); pointExportAt(query); })
                .catch(function (error) { count.textContent = 'Search failed: ' + error; });
        });
    });
    document.querySelector('.aui-dropdown-trigger').addEventListener('click', function () {
        menu.hidden = !menu.hidden;
        if (document.getElementById('currentCsvFields'))
            return;
        afterDelay(menuDelay, function () {
            if (document.getElementById('currentCsvFields'))
                return;
            const link = document.createElement('a');
            link.id = 'currentCsvFields';
            link.textContent = 'CSV (Current fields)';
            link.href = exportAddress();
            menu.append(link);
        });
    });
    pointExportAt('');
})();
</script>
)";

} // namespace

namespace StandinPages {

QByteArray loginPage(const QString &message)
{
    const QByteArray note = message.isEmpty()
                                ? QByteArray()
                                : "<p class=\"message\">" + htmlEscaped(message) + "</p>\n";
    return page("Log in", "<main>\n<h1>Log in</h1>\n" + note +
                              R"(<form method="post" action="/login.jsp">
<p><label>Username <input name="os_username" autofocus></label></p>
<p><label>Password <input name="os_password" type="password"></label></p>
<p><button type="submit" id="login-form-submit" class="aui-button">Log In</button></p>
</form>
<p>Any user name will do; the password is not checked.</p>
</main>
)");
}

QByteArray searchPage(const SearchPageTiming &timing, qsizetype exportCap)
{
    QByteArray body(kSearchBody);
    // A menu that is there from the start, as on a fast server, or one filled on demand.
    body.replace("%MENULINK%",
                 timing.exportMenuDelayMs == 0
                     ? "<a id=\"currentCsvFields\" href=\"#\">CSV (Current fields)</a>"
                     : "");
    body.replace("%EXPORT%", kExportPath);
    body.replace("%CAP%", QByteArray::number(exportCap));
    body.replace("%SEARCHDELAY%", QByteArray::number(timing.searchDelayMs));
    body.replace("%MENUDELAY%", QByteArray::number(timing.exportMenuDelayMs));
    return page("Issue Navigator", body);
}

QByteArray pageWithoutNavigator()
{
    return page("Dashboard", "<main>\n<h1>Dashboard</h1>\n<p>This page has no issue "
                             "navigator.</p>\n</main>\n");
}

QByteArray issuePage(const QString &key, const QString &summary, const QString &status)
{
    return page(htmlEscaped(key),
                "<main>\n<h1 id=\"issue-key\">" + htmlEscaped(key) + "</h1>\n<p id=\"summary\">" +
                    htmlEscaped(summary) + "</p>\n<p>Status: " + htmlEscaped(status) +
                    "</p>\n<p><a href=\"/issues/\">Back to the search</a></p>\n</main>\n");
}

} // namespace StandinPages
