// Message maps: static tables that route window messages and commands to a class's On... handlers,
// searched from the most derived class to its bases. Each entry holds a small thunk that calls the
// handler with the arguments its message carries, so no handler is ever called through a cast.
#pragma once

#include "win32_names.h"

class CCmdTarget;

using AFX_THUNK = LRESULT (*)(CCmdTarget* target, WPARAM wParam, LPARAM lParam);

struct AFX_MSGMAP_ENTRY {
    UINT message;  // WM_...
    UINT code;     // notification code of a WM_COMMAND
    UINT id;       // control or command identifier of a WM_COMMAND
    AFX_THUNK thunk;
};

struct AFX_MSGMAP {
    const AFX_MSGMAP* (*baseMap)();
    const AFX_MSGMAP_ENTRY* entries;
};

#define DECLARE_MESSAGE_MAP()                                 \
protected:                                                    \
    static const AFX_MSGMAP* GetThisMessageMap();             \
    const AFX_MSGMAP* GetMessageMap() const override;

#define BEGIN_MESSAGE_MAP(theClass, baseClass)                                        \
    const AFX_MSGMAP* theClass::GetMessageMap() const { return GetThisMessageMap(); } \
    const AFX_MSGMAP* theClass::GetThisMessageMap()                                   \
    {                                                                                 \
        using ThisClass [[maybe_unused]] = theClass;                                  \
        using TheBaseClass = baseClass;                                               \
        static const AFX_MSGMAP_ENTRY entries[] = {

#define END_MESSAGE_MAP()                                                             \
            {0, 0, 0, nullptr}                                                        \
        };                                                                            \
        static const AFX_MSGMAP map = {&TheBaseClass::GetThisMessageMap, &entries[0]}; \
        return &map;                                                                  \
    }

#define AFX_COMMAND_ENTRY(id, code, memberFxn)                                         \
    {WM_COMMAND, static_cast<UINT>(code), static_cast<UINT>(id),                      \
     [](CCmdTarget* target, WPARAM, LPARAM) -> LRESULT {                              \
         (static_cast<ThisClass*>(target)->*(&memberFxn))();                           \
         return 0;                                                                    \
     }},

#define ON_COMMAND(id, memberFxn) AFX_COMMAND_ENTRY(id, 0, memberFxn)
#define ON_BN_CLICKED(id, memberFxn) AFX_COMMAND_ENTRY(id, BN_CLICKED, memberFxn)

#define ON_WM_SYSCOMMAND()                                                            \
    {WM_SYSCOMMAND, 0, 0, [](CCmdTarget* target, WPARAM wParam, LPARAM lParam) -> LRESULT { \
         static_cast<ThisClass*>(target)->OnSysCommand(static_cast<UINT>(wParam), lParam); \
         return 0;                                                                    \
     }},
#define ON_WM_PAINT()                                                                 \
    {WM_PAINT, 0, 0, [](CCmdTarget* target, WPARAM, LPARAM) -> LRESULT {              \
         static_cast<ThisClass*>(target)->OnPaint();                                  \
         return 0;                                                                    \
     }},
#define ON_WM_QUERYDRAGICON()                                                         \
    {WM_QUERYDRAGICON, 0, 0, [](CCmdTarget* target, WPARAM, LPARAM) -> LRESULT {      \
         return reinterpret_cast<LRESULT>(static_cast<ThisClass*>(target)->OnQueryDragIcon()); \
     }},

// The root of every message map: classes that can receive commands.
class CCmdTarget {
public:
    virtual ~CCmdTarget() = default;

    // Runs the handler of command `id` with notification `code`; FALSE when no map has one.
    virtual BOOL OnCmdMsg(UINT id, UINT code);

protected:
    static const AFX_MSGMAP* GetThisMessageMap();
    virtual const AFX_MSGMAP* GetMessageMap() const;

    // The entry for a message, searched through the class and its bases.
    const AFX_MSGMAP_ENTRY* FindEntry(UINT message, UINT code, UINT id) const;
};
