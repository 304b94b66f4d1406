#pragma once

#include <QByteArray>
#include <QString>

namespace ZtUIDataStruct {

// The text of a quote file. Most tools write UTF-8, some with a byte-order
// mark; the exports of quote clients on Chinese systems are GBK. Valid
// UTF-8 is taken as UTF-8 (GBK text with Chinese column names almost never
// is), anything else as GBK, read through its superset GB18030.
//
// The one place where the Qt 5 and Qt 6 text conversions differ.
class QuoteTextDecoder
{
public:
    // False when the bytes are neither UTF-8 nor GBK (or no GBK decoder is
    // available); text is then unspecified.
    static bool decode(QByteArray bytes, QString* text);
};

} // namespace ZtUIDataStruct
