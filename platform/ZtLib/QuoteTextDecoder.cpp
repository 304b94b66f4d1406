#include "QuoteTextDecoder.h"

#include <QtGlobal>

#if QT_VERSION >= QT_VERSION_CHECK(6, 0, 0)
#include <QStringDecoder>
#else
#include <QTextCodec>
#endif

namespace ZtUIDataStruct {

namespace {

// False when this system has no decoder of that name or the bytes are not
// valid in it.
bool decodeAs(const char* encoding, const QByteArray& bytes, QString* text)
{
#if QT_VERSION >= QT_VERSION_CHECK(6, 0, 0)
    QStringDecoder decoder(encoding, QStringDecoder::Flag::Stateless);
    if (!decoder.isValid())
        return false;
    const QString decoded = decoder.decode(bytes);
    *text = decoded;
    return !decoder.hasError();
#else
    QTextCodec* codec = QTextCodec::codecForName(encoding);
    if (!codec)
        return false;
    QTextCodec::ConverterState state(QTextCodec::IgnoreHeader);
    *text = codec->toUnicode(bytes.constData(), bytes.size(), &state);
    return state.invalidChars == 0 && state.remainingChars == 0;
#endif
}

} // namespace

bool QuoteTextDecoder::decode(QByteArray bytes, QString* text)
{
    if (bytes.startsWith("\xEF\xBB\xBF"))
        return decodeAs("UTF-8", bytes.mid(3), text);
    if (decodeAs("UTF-8", bytes, text))
        return true;
    // Some GB18030 decoders replace a bad sequence without reporting it;
    // GBK text has no replacement character of its own.
    return decodeAs("GB18030", bytes, text) && !text->contains(QChar::ReplacementCharacter);
}

} // namespace ZtUIDataStruct
