#pragma once

#include <QStringList>

class TMainForm;
class TSettingForm;
class TCountDownForm;
class TAboutForm;
class TopSettingForm;
class TSizeForm;

// The program's six windows, created once in this order and kept until the program ends.
extern TMainForm* MainForm;
extern TSettingForm* SettingForm;
extern TCountDownForm* CountDownForm;
extern TAboutForm* AboutForm;
extern TopSettingForm* opSettingForm;
extern TSizeForm* SizeForm;

void CreateForms(const QStringList& arguments);
void DestroyForms();
