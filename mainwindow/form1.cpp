#include "form1.h"

Form1::Form1() : wxFrame(nullptr, wxID_ANY, wxString::FromUTF8("Scoutwell")) {}

void Form1::Form_Load() {}
