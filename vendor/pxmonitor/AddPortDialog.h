// The monitor's add-port dialog: its template and controls.
#pragma once

#define IDD_ADD_PORT        100
#define IDC_PORT_NAME       101
#define IDC_CONNECTION      102
