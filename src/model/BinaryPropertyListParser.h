// Reads the binary form of a property list with the property-list library, once a look at its
// object graph has shown that the library can read it without harm.
#pragma once

#include "PropertyListValue.h"

#include <QByteArrayView>

// data starts with the binary form's signature.
PropertyListParse parseBinaryPropertyList(QByteArrayView data);
