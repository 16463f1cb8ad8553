#pragma once

class QPalette;

// The program's look for every dialog: push buttons with a rounded black
// border, a white-to-grey face and an orange frame under the mouse, and
// group boxes with a white frame on the dialog background. Both come from one
// application-wide style, so a dialog gets them without any code of its own;
// check boxes, radio buttons and everything else keep the base look.
//
// InstallSkin also gives the application palette the dialog background
// RGB(197, 226, 243) with black text. Call it once before the first window
// and RemoveSkin after the last; RemoveSkin puts back the style and palette
// that were current before. Both do nothing when called out of turn.
void InstallSkin();
void RemoveSkin();
bool SkinInstalled();
