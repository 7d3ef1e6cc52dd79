#include "PropertyListParser.h"

#include "BinaryPropertyListParser.h"
#include "XmlPropertyListParser.h"
#include "XmlTextDecoding.h"

PropertyListParse parsePropertyList(QByteArrayView data)
{
    if (data.startsWith("bplist00"))
        return parseBinaryPropertyList(data);
    const DecodedXmlText decoded = decodedXmlText(data);
    if (!decoded.text) {
        PropertyListParse result;
        result.failure = PropertyListParse::Failure::UnknownEncoding;
        result.encoding = decoded.unknownEncoding;
        return result;
    }
    return XmlPropertyListParser(*decoded.text).parse();
}
