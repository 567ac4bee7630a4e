#include "model/record_properties.h"

#include "model/databases.h"
#include "platform/systime.h"
#include "platform/text.h"

DWORD KeyFromLocalTime()
{
    SYSTEMTIME now;
    GetLocalTime(&now);
    WCHAR digits[32];
    wsprintfW(digits, u"%d%d%d%d", now.wDay, now.wHour, now.wMinute, now.wSecond);
    return static_cast<DWORD>(_wtoi(digits));
}

void BuildRecordProperties(const RecordNode* node, DWORD key, CEPROPVAL (&props)[7])
{
    static WCHAR blankMemo[] = u" ";
    props[0].propid = PROP_RECORD_KEY;
    props[0].val.ulVal = key;
    props[1].propid = PROP_RECORD_DAY;
    props[1].val.ulVal = node->date.wDay;
    props[2].propid = PROP_RECORD_MONTH;
    props[2].val.ulVal = node->date.wMonth;
    props[3].propid = PROP_RECORD_YEAR;
    props[3].val.ulVal = node->date.wYear;
    props[4].propid = PROP_RECORD_CATEGORY;
    props[4].val.lpwstr = node->category;
    props[5].propid = PROP_RECORD_MINUTES;
    props[5].val.lpwstr = node->minutesText;
    props[6].propid = PROP_RECORD_MEMO;
    props[6].val.lpwstr = node->memo ? node->memo : blankMemo;
}
