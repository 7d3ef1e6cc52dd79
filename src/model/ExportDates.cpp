#include "ExportDates.h"

#include <QDate>

#include <array>
#include <cctype>

namespace {

constexpr qint64 kMsecsPerMinute = 60 * 1000;
constexpr qint64 kMsecsPerDay = 24 * 60 * kMsecsPerMinute;

// Reads the text left to right; every read either takes what it wants or fails.
class DateText
{
public:
    explicit DateText(QByteArrayView text)
        : mText(text.trimmed())
    {
    }

    bool atEnd() const { return mAt >= mText.size(); }
    char peek() const { return atEnd() ? '\0' : mText[mAt]; }

    bool take(char c)
    {
        if (peek() != c)
            return false;
        ++mAt;
        return true;
    }

    // A number of minDigits to maxDigits digits.
    std::optional<int> number(int minDigits, int maxDigits)
    {
        int value = 0;
        int digits = 0;
        while (digits < maxDigits && peek() >= '0' && peek() <= '9') {
            value = value * 10 + (mText[mAt++] - '0');
            ++digits;
        }
        if (digits < minDigits)
            return std::nullopt;
        return value;
    }

    // The letters up to the next non-letter, lower-cased.
    QByteArray word()
    {
        QByteArray letters;
        while (std::isalpha(static_cast<unsigned char>(peek())))
            letters.append(
                static_cast<char>(std::tolower(static_cast<unsigned char>(mText[mAt++]))));
        return letters;
    }

    void skipBlanks()
    {
        while (peek() == ' ')
            ++mAt;
    }

private:
    QByteArrayView mText;
    qsizetype mAt = 0;
};

struct TimeOfDay
{
    int hour = 0;
    int minute = 0;
    int second = 0;
    int msec = 0;
};

std::optional<int> monthNumber(const QByteArray &name)
{
    static constexpr std::array<const char *, 12> kMonths = {
        "january", "february", "march",     "april",   "may",      "june",
        "july",    "august",   "september", "october", "november", "december"};
    for (int i = 0; i < 12; ++i) {
        const QByteArrayView full(kMonths[i]);
        if (name == full.first(3) || name == full)
            return i + 1;
    }
    return std::nullopt;
}

// The fraction of a second after its point, to the millisecond; further digits are dropped.
std::optional<int> milliseconds(DateText &text)
{
    int msec = 0;
    int digits = 0;
    while (const auto digit = text.number(1, 1)) {
        if (digits++ < 3)
            msec = msec * 10 + *digit;
    }
    if (digits == 0)
        return std::nullopt;
    for (; digits < 3; ++digits)
        msec *= 10;
    return msec;
}

// "8:05 AM", "20:05", "08:05:09", "08:05:09.250"; the clock's letters only when twelveHour allows.
std::optional<TimeOfDay> timeOfDay(DateText &text, bool twelveHour)
{
    TimeOfDay time;
    const auto hour = text.number(1, 2);
    if (!hour || !text.take(':'))
        return std::nullopt;
    const auto minute = text.number(2, 2);
    if (!minute)
        return std::nullopt;
    time.hour = *hour;
    time.minute = *minute;
    if (text.take(':')) {
        const auto second = text.number(2, 2);
        if (!second)
            return std::nullopt;
        time.second = *second;
        if (text.take('.') || text.take(',')) {
            const auto fraction = milliseconds(text);
            if (!fraction)
                return std::nullopt;
            time.msec = *fraction;
        }
    }
    if (twelveHour) {
        text.skipBlanks();
        const QByteArray half = text.word();
        if (!half.isEmpty()) {
            if ((half != "am" && half != "pm") || time.hour < 1 || time.hour > 12)
                return std::nullopt;
            time.hour = time.hour % 12 + (half == "pm" ? 12 : 0);
        }
    }
    if (time.hour > 23 || time.minute > 59 || time.second > 59)
        return std::nullopt;
    return time;
}

// "Z", "+01:00", "+0100" or "-05", as minutes east of UTC; zero when there is none.
std::optional<int> zoneOffset(DateText &text)
{
    text.skipBlanks();
    if (text.atEnd() || text.take('Z'))
        return 0;
    const char sign = text.peek();
    if (!text.take('+') && !text.take('-'))
        return std::nullopt;
    const auto hours = text.number(2, 2);
    if (!hours)
        return std::nullopt;
    text.take(':');
    const int minutes = text.number(2, 2).value_or(0);
    const int offset = *hours * 60 + minutes;
    return sign == '-' ? -offset : offset;
}

qint64 msecsOf(const QDate &date, const TimeOfDay &time)
{
    static const qint64 kEpochDay = QDate(1970, 1, 1).toJulianDay();
    return (date.toJulianDay() - kEpochDay) * kMsecsPerDay +
           ((time.hour * 60 + time.minute) * 60 + time.second) * 1000 + time.msec;
}

std::optional<qint64> isoInstant(DateText &text, int year)
{
    if (!text.take('-'))
        return std::nullopt;
    const auto month = text.number(2, 2);
    if (!month || !text.take('-'))
        return std::nullopt;
    const auto day = text.number(2, 2);
    const QDate date(year, month.value_or(0), day.value_or(0));
    if (!day || !date.isValid())
        return std::nullopt;
    TimeOfDay time;
    if (text.take('T') || text.take(' ')) {
        const auto read = timeOfDay(text, false);
        if (!read)
            return std::nullopt;
        time = *read;
    }
    const auto offset = zoneOffset(text);
    if (!offset || !text.atEnd())
        return std::nullopt;
    return msecsOf(date, time) - *offset * kMsecsPerMinute;
}

std::optional<qint64> dayMonthYearInstant(DateText &text, int day)
{
    if (!text.take('/'))
        return std::nullopt;
    const auto month = monthNumber(text.word());
    if (!month || !text.take('/'))
        return std::nullopt;
    const auto year = text.number(2, 4);
    if (!year || (*year >= 100 && *year < 1000))
        return std::nullopt;
    // Jira writes two digits for years of this century.
    const QDate date(*year < 100 ? 2000 + *year : *year, *month, day);
    if (!date.isValid())
        return std::nullopt;
    TimeOfDay time;
    text.skipBlanks();
    if (!text.atEnd()) {
        const auto read = timeOfDay(text, true);
        if (!read || !text.atEnd())
            return std::nullopt;
        time = *read;
    }
    return msecsOf(date, time);
}

} // namespace

namespace ExportDates {

std::optional<qint64> instant(QByteArrayView text)
{
    DateText date(text);
    const auto first = date.number(1, 4);
    if (!first)
        return std::nullopt;
    if (date.peek() == '-')
        return *first >= 1000 ? isoInstant(date, *first) : std::nullopt;
    return *first <= 31 ? dayMonthYearInstant(date, *first) : std::nullopt;
}

} // namespace ExportDates
