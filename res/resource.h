// Resource identifiers: dialogs, controls, images and the string table.
#pragma once

#define IDC_STATIC                  (-1)

// Pages
#define IDD_PRINTER                 102
#define IDD_WELCOME                 129
#define IDD_DESTINATION             130
#define IDD_SUMMARY                 131

// Images
#define IDR_MAINFRAME               128
#define IDB_HEADER                  132
#define IDB_FOLDERS                 143

// Controls
#define IDC_INSTALL                 1000
#define IDC_COPY                    1001
#define IDC_DRIVE                   1004
#define IDC_PORTS                   1005
#define IDC_DIRECTORY_TREE          1005
#define IDC_PRINTER_NAME            1006
#define IDC_DIRECTORY               1006
#define IDC_SUMMARY                 1006
#define IDC_CREATE                  1007
#define IDC_BACK                    1008
#define IDC_HEADING                 1011
#define IDC_NEW_PORT                1014
#define IDC_VIEW_README             1015

// String table
#define IDS_CANNOT_COPY_TO_DRIVE    2001
#define IDS_CAPTION                 2002
#define IDS_NO_DIRECTORY            2003
#define IDS_ILLEGAL_NAME            2004
#define IDS_RECYCLE_FOLDER          2005
#define IDS_LABEL_DESTINATION       2006
#define IDS_HEADING_COPY            2007
#define IDS_HEADING_INSTALL         2008
#define IDS_BLANK_PRINTER_NAME      2009
#define IDS_PRINTER_EXISTS          2010
#define IDS_LABEL_PRINTER           2011
#define IDS_LABEL_PORT              2012
#define IDS_MONITOR_NAME            2013
#define IDS_COLUMN_PORT             2014
#define IDS_COLUMN_PHYSICAL_PORT    2015
#define IDS_MONITOR_INF_XP          2016
#define IDS_MONITOR_INF             2017
#define IDS_WINDOWS_NT              2018
#define IDS_OS_VARIABLE             2019
#define IDS_FILE_PORT               2020
#define IDS_ALL_FILES               2021
#define IDS_INF_PATTERN             2022
#define IDS_PRINTER_CLASS           2023
#define IDS_KEY_INCLUDE             2024
#define IDS_KEY_COPYFILES           2025
#define IDS_KEY_DRIVERFILE          2026
#define IDS_KEY_CONFIGFILE          2027
#define IDS_KEY_HELPFILE            2028
#define IDS_KEY_PROVIDER            2029
#define IDS_KEY_DATAFILE            2030
#define IDS_KEY_DATASECTION         2031
#define IDS_SECTION_VERSION         2032
#define IDS_SECTION_MODELS          2033
#define IDS_KEY_NEEDS               2034
#define IDS_KEY_DEFAULTDATA         2036
#define IDS_KEY_PRINTPROCESSOR      2037
#define IDS_INSTALL_FAILED          2038
#define IDS_UNSUPPORTED_SYSTEM      2039
#define IDS_START_SPOOLER           2040
#define IDS_SPOOLER_START_FAILED    2041
#define IDS_DRIVE_NOT_READY         2043
#define IDS_CANNOT_OPEN_FILE        2044
#define IDS_UPGRADE_MONITOR         2045
#define IDS_SPOOLER_STOP_FAILED     2046
#define IDS_SPOOLER_RESTART_FAILED  2047
#define IDS_DEPENDENTS_NOT_STARTED  2048
#define IDS_README                  2049
#define IDS_OPEN_VERB               2050
