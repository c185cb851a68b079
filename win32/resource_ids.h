#pragma once

// Resource numbers shared by the resource script and the code. Plain
// #defines: the resource compiler reads this file too.

#define PELVARO_IDI_PROGRAM 1
