// The value format language: any format text over any value gives a text
// and never crashes or hangs.

#include "FuzzSupport.h"

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size)
{
    FuzzedDataProvider in(data, size);
    QVariant value;
    switch (in.ConsumeIntegralInRange<int>(0, 5)) {
    case 0: value = fuzz::hostileDouble(in); break;
    case 1: value = in.ConsumeIntegral<qint64>(); break;
    case 2: value = QString::fromUtf8(in.ConsumeRandomLengthString(64).c_str()); break;
    case 3: value = in.ConsumeBool(); break;
    case 4: value = fuzz::hostileInt(in); break;
    default: break; // an invalid variant
    }
    const QString format = QString::fromUtf8(in.ConsumeRemainingBytesAsString().c_str());
    (void)formatValueText(value, format);
    (void)resolveConditionalFormat(value, format);
    (void)evaluateFormatCondition(value, format);
    (void)evaluateFormatTerm(value, format);
    return 0;
}
