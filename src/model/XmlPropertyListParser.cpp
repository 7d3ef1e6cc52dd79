#include "XmlPropertyListParser.h"

namespace {

bool isTextElement(QStringView name)
{
    // A <key> where a value belongs is read as a text, as the property-list library reads it.
    return name == u"string" || name == u"key";
}

bool isOtherScalarElement(QStringView name)
{
    return name == u"integer" || name == u"real" || name == u"true" || name == u"false" ||
           name == u"date" || name == u"data";
}

} // namespace

XmlPropertyListParser::XmlPropertyListParser(const QString &text)
    : mReader(text)
{
    // Property lists use no namespaces; leaving them out makes the reading quicker.
    mReader.setNamespaceProcessing(false);
}

PropertyListParse XmlPropertyListParser::parse()
{
    PropertyListParse result;
    bool read = nextElementBoundary() && mReader.isStartElement();
    if (read && mReader.name() == u"plist")
        read = nextElementBoundary() && mReader.isStartElement();
    read = read && readValue(result.root, 1);
    if (mTooDeep)
        result.failure = PropertyListParse::Failure::TooDeep;
    else if (!read)
        result.failure = PropertyListParse::Failure::NotAPropertyList;
    return result;
}

// Called at the start element of the value.
bool XmlPropertyListParser::readValue(PropertyListValue &value, int depth)
{
    if (depth > PropertyListLimits::maximumDepth) {
        mTooDeep = true;
        return false;
    }
    const QStringView name = mReader.name();
    if (name == u"dict")
        return readDictionary(value, depth);
    if (name == u"array")
        return readArray(depth);
    if (isTextElement(name)) {
        value.kind = PropertyListValue::Kind::Text;
        return readText(value.text);
    }
    QString ignored;
    return isOtherScalarElement(name) && readText(ignored);
}

bool XmlPropertyListParser::readDictionary(PropertyListValue &dictionary, int depth)
{
    dictionary.kind = PropertyListValue::Kind::Dictionary;
    while (nextElementBoundary()) {
        if (mReader.isEndElement())
            return true;
        PropertyListEntry entry;
        if (mReader.name() != u"key" || !readText(entry.key) || !nextElementBoundary())
            return false;
        // A key without a value at the end of a dictionary is passed over.
        if (mReader.isEndElement())
            return true;
        if (!readValue(entry.value, depth + 1))
            return false;
        dictionary.entries.push_back(std::move(entry));
    }
    return false;
}

// The configuration files hold no arrays; their items are read only to know the nesting.
bool XmlPropertyListParser::readArray(int depth)
{
    while (nextElementBoundary()) {
        if (mReader.isEndElement())
            return true;
        PropertyListValue ignored;
        if (!readValue(ignored, depth + 1))
            return false;
    }
    return false;
}

bool XmlPropertyListParser::readText(QString &text)
{
    text = mReader.readElementText(QXmlStreamReader::ErrorOnUnexpectedElement);
    return !mReader.hasError();
}

// Moves to the next start or end element; false at the end of the document, on an error, and
// on text between elements, which no property list has.
bool XmlPropertyListParser::nextElementBoundary()
{
    while (!mReader.atEnd()) {
        switch (mReader.readNext()) {
        case QXmlStreamReader::StartElement:
        case QXmlStreamReader::EndElement:
            return true;
        case QXmlStreamReader::Characters:
            if (!mReader.isWhitespace())
                return false;
            break;
        case QXmlStreamReader::Invalid:
        case QXmlStreamReader::EntityReference:
            return false;
        default:
            break;
        }
    }
    return false;
}
