// Numbered PCX pictures of the last presented frame.
#pragma once

extern int screenshot_counter;

void take_screenshot();
