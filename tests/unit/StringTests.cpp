// CString.
#include <doctest.h>
#include "framework/String.h"
#include "res/resource.h"
#include <string>

TEST_CASE("a CString made from nothing is empty, and joins like text")
{
    CString empty(static_cast<LPCSTR>(NULL));
    CHECK(empty.IsEmpty());
    CHECK(empty == "");

    CString text("Printer");
    text += ' ';
    text += "page";
    CHECK(text == "Printer page");
    CHECK(("<" + text + ">") == "<Printer page>");
    CHECK(text.GetLength() == 12);
    CHECK(text.CompareNoCase("PRINTER PAGE") == 0);
    CHECK(text.Compare("Printer pagf") < 0);
}

TEST_CASE("CString finds and cuts without reading past either end")
{
    CString text("C:\\Drivers\\Izov");
    CHECK(text.Find('\\') == 2);
    CHECK(text.Find('\\', 3) == 10);
    CHECK(text.Find('x') == -1);
    CHECK(text.Find('D', 99) == -1);
    CHECK(text.Find("Izov") == 11);
    CHECK(text.ReverseFind('\\') == 10);
    CHECK(text.Left(2) == "C:");
    CHECK(text.Left(-1) == "");
    CHECK(text.Left(99) == text);
    CHECK(text.Mid(11) == "Izov");
    CHECK(text.Mid(99) == "");
    CHECK(text.Mid(3, 7) == "Drivers");
    CHECK(text.Right(4) == "Izov");
    CHECK(text.Right(99) == text);
}

TEST_CASE("CString trims white space from either side only")
{
    CString text(" \t Office printer \r\n");
    text.TrimRight();
    CHECK(text == " \t Office printer");
    text.TrimLeft();
    CHECK(text == "Office printer");

    CString blanks("   ");
    blanks.TrimLeft();
    CHECK(blanks.IsEmpty());
}

TEST_CASE("CString formats texts of any length")
{
    CString text;
    text.Format("COM %ld", 1L);
    CHECK(text == "COM 1");
    std::string longText(5000, 'n');
    text.Format("[%s]", longText.c_str());
    CHECK(text.GetLength() == 5002);
}

TEST_CASE("CString lends its buffer to calls that fill one")
{
    CString text("abc");
    char* pszBuffer = text.GetBuffer(10);
    lstrcpyA(pszBuffer, "filled in");
    text.ReleaseBuffer();
    CHECK(text == "filled in");

    pszBuffer = text.GetBuffer(3);
    text.ReleaseBuffer(2);
    CHECK(text == "fi");
}

TEST_CASE("CString loads a string-table text, and nothing for a missing one")
{
    CString text;
    CHECK(text.LoadString(IDS_CAPTION));
    CHECK(text == "ZUV Izov Printer Software Wizard");
    CHECK_FALSE(text.LoadString(2035));
    CHECK(text.IsEmpty());
}
