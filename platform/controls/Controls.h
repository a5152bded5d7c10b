#pragma once
// Every intrinsic control of a form, for the forms that use many of them; each has a header of its own.

#include "platform/controls/Buttons.h"
#include "platform/controls/ComboBox.h"
#include "platform/controls/Containers.h"
#include "platform/controls/Control.h"
#include "platform/controls/Label.h"
#include "platform/controls/Menu.h"
#include "platform/controls/PictureBox.h"
#include "platform/controls/ScrollBar.h"
#include "platform/controls/StatusBar.h"
#include "platform/controls/TextBox.h"
#include "platform/controls/Timer.h"
