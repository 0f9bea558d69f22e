// The class library the windows rest on.
#pragma once

#include "afx_resources.h"
#include "cdialog.h"
#include "cmenu.h"
#include "cpaintdc.h"
#include "cstring.h"
#include "cwinapp.h"
#include "cwnd.h"
