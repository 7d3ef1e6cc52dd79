#include "ExportDates.h"

#include <array>
#include <optional>

namespace {

constexpr qint64 kMsecsPerMinute = 60 * 1000;
constexpr qint64 kMsecsPerDay = 24 * 60 * kMsecsPerMinute;

bool isLetter(char c)
{
    const char lower = static_cast<char>(c | 0x20);
    return lower >= 'a' && lower <= 'z';
}

// Equal letters whatever their case; the texts hold letters only.
bool sameLetters(QByteArrayView a, QByteArrayView b)
{
    if (a.size() != b.size())
        return false;
    for (qsizetype i = 0; i < a.size(); ++i) {
        if ((a[i] | 0x20) != (b[i] | 0x20))
            return false;
    }
    return true;
}

// Days since 1970-01-01 of a day of the proleptic Gregorian calendar; nothing for a day no month
// has. (The days-from-civil rule, counting years from March so that February comes last.)
std::optional<qint64> epochDay(int year, int month, int day)
{
    static constexpr std::array<int, 12> kMonthDays = {31, 29, 31, 30, 31, 30,
                                                       31, 31, 30, 31, 30, 31};
    const bool leap = (year % 4 == 0 && year % 100 != 0) || year % 400 == 0;
    if (month < 1 || month > 12 || day < 1 || day > kMonthDays[month - 1] ||
        (month == 2 && day == 29 && !leap))
        return std::nullopt;
    const qint64 y = year - (month <= 2 ? 1 : 0);
    const qint64 era = (y >= 0 ? y : y - 399) / 400;
    const qint64 yearOfEra = y - era * 400;
    const qint64 dayOfYear = (153 * (month + (month > 2 ? -3 : 9)) + 2) / 5 + day - 1;
    const qint64 dayOfEra = yearOfEra * 365 + yearOfEra / 4 - yearOfEra / 100 + dayOfYear;
    return era * 146097 + dayOfEra - 719468;
}

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

    // The letters up to the next non-letter.
    QByteArrayView word()
    {
        const qsizetype start = mAt;
        while (isLetter(peek()))
            ++mAt;
        return mText.sliced(start, mAt - start);
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

std::optional<int> monthNumber(QByteArrayView name)
{
    static constexpr std::array<QByteArrayView, 12> kMonths = {
        "january", "february", "march",     "april",   "may",      "june",
        "july",    "august",   "september", "october", "november", "december"};
    for (int i = 0; i < 12; ++i) {
        if (sameLetters(name, kMonths[i].first(3)) || sameLetters(name, kMonths[i]))
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
        const QByteArrayView half = text.word();
        const bool am = sameLetters(half, "am");
        const bool pm = sameLetters(half, "pm");
        if (!half.isEmpty()) {
            if ((!am && !pm) || time.hour < 1 || time.hour > 12)
                return std::nullopt;
            time.hour = time.hour % 12 + (pm ? 12 : 0);
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

qint64 msecsOf(qint64 day, const TimeOfDay &time)
{
    return day * kMsecsPerDay + ((time.hour * 60 + time.minute) * 60 + time.second) * 1000 +
           time.msec;
}

std::optional<qint64> isoInstant(DateText &text, int year)
{
    if (!text.take('-'))
        return std::nullopt;
    const auto month = text.number(2, 2);
    if (!month || !text.take('-'))
        return std::nullopt;
    const auto day = text.number(2, 2);
    const auto date = epochDay(year, month.value_or(0), day.value_or(0));
    if (!day || !date)
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
    return msecsOf(*date, time) - *offset * kMsecsPerMinute;
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
    const auto date = epochDay(*year < 100 ? 2000 + *year : *year, *month, day);
    if (!date)
        return std::nullopt;
    TimeOfDay time;
    text.skipBlanks();
    if (!text.atEnd()) {
        const auto read = timeOfDay(text, true);
        if (!read || !text.atEnd())
            return std::nullopt;
        time = *read;
    }
    return msecsOf(*date, time);
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
