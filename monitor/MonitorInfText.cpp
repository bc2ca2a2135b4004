#include "monitor/MonitorInfText.h"
#include "base/Text.h"
#include <string.h>

namespace {

const size_t NOT_FOUND = (size_t)-1;
const char kXpDllName[] = "ZADAZARE.DLL";

// The text being read: positions are offsets into it, each at the beginning of a character; a
// search that finds nothing gives NOT_FOUND, which every caller treats as an absent item.
class Text {
public:
    Text(const char* psz, LeadByteTest isLead) : m_psz(psz), m_cch(strlen(psz)), m_isLead(isLead) {}

    size_t Length() const { return m_cch; }
    char At(size_t n) const { return n < m_cch ? m_psz[n] : '\0'; }

    // The position of the character after the one at n.
    size_t Next(size_t n) const
    {
        if (n == NOT_FOUND || n > m_cch)
            return NOT_FOUND;
        return (size_t)(NextChar(m_psz + n, m_isLead) - m_psz);
    }

    size_t Find(const char* pszWhat, size_t nFrom) const
    {
        if (nFrom == NOT_FOUND || nFrom > m_cch)
            return NOT_FOUND;
        const char* pFound = FindSubstring(m_psz + nFrom, pszWhat, m_isLead);
        return pFound != NULL ? (size_t)(pFound - m_psz) : NOT_FOUND;
    }

    // Copies [nBegin, nEnd) into a field, cut at the first character in pszStops; a piece that
    // is absent, empty or too long for the field leaves the field empty.
    void CopyTo(size_t nBegin, size_t nEnd, const char* pszStops, char* pszField, size_t cbField) const
    {
        pszField[0] = '\0';
        if (nBegin == NOT_FOUND || nEnd == NOT_FOUND || nBegin >= nEnd || nEnd > m_cch)
            return;
        const char* pStop = FindCharIn(m_psz + nBegin, pszStops, m_isLead);
        size_t cch = pStop != NULL ? (size_t)(pStop - m_psz) - nBegin : m_cch - nBegin;
        if (cch > nEnd - nBegin)
            cch = nEnd - nBegin;
        if (cch == 0 || cch >= cbField)
            return;
        memcpy(pszField, m_psz + nBegin, cch);
        pszField[cch] = '\0';
    }

private:
    const char* m_psz;
    size_t m_cch;
    LeadByteTest m_isLead;
};

// Appends a name to the file list, keeping room for the closing empty name; false when full.
bool AppendFile(char* pList, size_t& cbUsed, const char* pszName)
{
    size_t cch = strlen(pszName);
    if (cch == 0)
        return true;
    if (cbUsed + cch + 2 > MONITOR_FILE_LIST_SIZE)
        return false;
    memcpy(pList + cbUsed, pszName, cch + 1);
    cbUsed += cch + 1;
    return true;
}

// The earlier of two positions, either of which may be NOT_FOUND.
size_t Earliest(size_t nOne, size_t nOther)
{
    return nOne < nOther ? nOne : nOther;
}

size_t After(size_t nPosition, size_t nOffset)
{
    return nPosition == NOT_FOUND ? NOT_FOUND : nPosition + nOffset;
}

// The monitor's line: the name between the first pair of quotes after the section header,
// then the key after its "=", without the blanks before it, up to the line's end.
// Returns the position of the key, or NOT_FOUND.
size_t ReadMonitorLine(const Text& text, const char* pszHeader, MonitorInfFields* pFields)
{
    size_t nQuote = text.Find("\"", text.Find(pszHeader, 0));
    size_t nNameStart = After(nQuote, 1);
    text.CopyTo(nNameStart, text.Find("\"", nNameStart), "\r\n", pFields->szMonitorName, MONITOR_FIELD_SIZE);

    size_t nKey = After(text.Find("=", nNameStart), 1);
    if (nKey == NOT_FOUND)
        return NOT_FOUND;
    while (text.At(nKey) == ' ')
        ++nKey;
    text.CopyTo(nKey, text.Find("\r", nKey), "\n", pFields->szMonitorKey, MONITOR_FIELD_SIZE);
    return nKey;
}

// Windows XP: the entries of [SourceDisksFiles] up to the first comment after it, each the
// text before its "=" up to the first blank; the DLL is always the same.
void ReadXpFiles(const Text& text, MonitorInfFields* pFields)
{
    strcpy(pFields->szDllName, kXpDllName);
    const char kSection[] = "[SourceDisksFiles]";
    size_t nScan = After(text.Find(kSection, 0), sizeof(kSection) - 1);
    size_t nComment = text.Find(";", text.Next(nScan));
    if (nComment == NOT_FOUND || nComment < 4)
        return;
    size_t nLimit = nComment - 4;
    size_t cbUsed = 0;
    char szEntry[MONITOR_FIELD_SIZE];
    while (nScan < nLimit) {
        size_t nLineEnd = text.Find("\r", nScan);
        if (nLineEnd == NOT_FOUND || nLineEnd >= nLimit)
            break;
        size_t nLine = text.Next(text.Next(nLineEnd));
        size_t nEquals = text.Find("=", nLine);
        if (nEquals == NOT_FOUND)
            break;
        text.CopyTo(nLine, nEquals, " \r\n", szEntry, sizeof(szEntry));
        if (!AppendFile(pFields->fileList, cbUsed, szEntry))
            break;
        nScan = nEquals;
    }
}

// Windows 2000: the "2," entries of the section whose name ends in "-" key "]", each up to
// its first blank, and the DLL of the first "2," entry of the section after it.
void ReadWindows2000Files(const Text& text, size_t nKey, MonitorInfFields* pFields)
{
    if (pFields->szMonitorKey[0] == '\0')
        return;
    char szPattern[MONITOR_FIELD_SIZE + 2];
    strcpy(szPattern, "-");
    strcat(szPattern, pFields->szMonitorKey);
    strcat(szPattern, "]");
    size_t nScan = text.Find(szPattern, nKey);
    if (nScan == NOT_FOUND)
        return;
    size_t nSectionEnd = text.Find("[", nScan + 1);
    if (nSectionEnd == NOT_FOUND)
        nSectionEnd = text.Length();

    size_t cbUsed = 0;
    char szEntry[MONITOR_FIELD_SIZE];
    while (nScan < nSectionEnd) {
        size_t nEntry = text.Find("2,", nScan);
        if (nEntry == NOT_FOUND || nEntry > nSectionEnd)
            break;
        // An entry ends at its first blank, or at its line's end when it has none before it,
        // the text's end included; the next line may hold the next entry.
        size_t nEnd = Earliest(Earliest(text.Find(" ", nEntry + 2), text.Find("\r", nEntry + 2)),
                               Earliest(text.Find("\n", nEntry + 2), text.Length()));
        text.CopyTo(nEntry + 2, nEnd, "\r\n", szEntry, sizeof(szEntry));
        if (!AppendFile(pFields->fileList, cbUsed, szEntry))
            break;
        nScan = nEnd;
    }

    size_t nDll = text.Find("2,", nSectionEnd);
    text.CopyTo(After(nDll, 2), text.Find(",", text.Next(After(nDll, 2))), "\r\n", pFields->szDllName,
                MONITOR_FIELD_SIZE);
}

} // namespace

void ReadMonitorInfText(const char* pszText, bool bXpRules, MonitorInfFields* pFields, LeadByteTest isLead)
{
    memset(pFields, 0, sizeof(*pFields));
    Text text(pszText, isLead);
    size_t nKey = ReadMonitorLine(text, bXpRules ? "[PortMonitors]" : "[Options]", pFields);
    if (bXpRules)
        ReadXpFiles(text, pFields);
    else
        ReadWindows2000Files(text, nKey, pFields);
}
