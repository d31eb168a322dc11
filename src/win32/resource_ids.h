#pragma once

// Shared by the resource script and the code. The pictures are RCDATA
// resources named as their files (pictures.rc, made by the build).
#define IDI_QUELLGATE 1
#define IDD_INPUT_BOX 100
#define IDC_INPUT_PROMPT 101
#define IDC_INPUT_TEXT 102
