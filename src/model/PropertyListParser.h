// Reads a property list, XML or binary, from its bytes.
#pragma once

#include "PropertyListValue.h"

#include <QByteArrayView>

// Any bytes: a failure is reported, never a crash; the work grows with the size of the data,
// never with its nesting or its sharing of objects.
PropertyListParse parsePropertyList(QByteArrayView data);
