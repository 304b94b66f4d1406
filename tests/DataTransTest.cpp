#include "TestKit.h"

using ZtUIDataStruct::DataTrans;

TEST(DataTrans, TimeValuesAndFixedPoint)
{
    EXPECT_EQ(DataTrans::getDateTimeFromULL(20240105093107ULL),
              QDateTime(QDate(2024, 1, 5), QTime(9, 31, 7)));
    EXPECT_EQ(DataTrans::getDateTimeFromULL(20240229000000ULL), QDateTime(QDate(2024, 2, 29), QTime(0, 0)));
    EXPECT_EQ(DataTrans::getDateYYYYMMDDFromULL(20240105093100ULL), 20240105);
    // Values that name no date or time give an invalid date-time.
    for (quint64 bad : {0ULL, 20230229000000ULL, 20241305093100ULL, 20240105240000ULL,
                        20240105096000ULL, 18446744073709551615ULL})
        EXPECT_FALSE(DataTrans::getDateTimeFromULL(bad).isValid()) << bad;
    // Fixed-point prices keep their sign.
    EXPECT_DOUBLE_EQ(DataTrans::getValueFromLL(123456789, 5), 1234.56789);
    EXPECT_DOUBLE_EQ(DataTrans::getValueFromLL(-150000, 5), -1.5);
}
