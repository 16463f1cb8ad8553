#pragma once

// Whether photos put into slots keep their faces in view, kept in the
// profile (section "Version 1.0", value "keep_faces"): "0" turns it off,
// anything else or nothing leaves it on.
bool KeepFacesSetting();
void SetKeepFacesSetting(bool keep);
