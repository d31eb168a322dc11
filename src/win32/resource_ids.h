#pragma once

// Shared by the resource script and the code.
#define IDI_QUELLGATE 1
#define IDD_INPUT_BOX 100
#define IDC_INPUT_PROMPT 101
#define IDC_INPUT_TEXT 102

// The PNG files of src/pictures, one RCDATA resource each. The networks are
// numbered in the order of the program's network list.
#define IDP_FACEBOOK 200
#define IDP_TWITTER 201
#define IDP_LINKEDIN 202
#define IDP_MYSPACE 203
#define IDP_YOUTUBE 204
#define IDP_ADD 210
#define IDP_REMOVE 211
#define IDP_SPLASH 220
#define IDP_INFO 221
