#!/usr/bin/python3
"""Drives the real program through its accessibility tree (AT-SPI), which works the same on any
display server. Objects are found by role and accessible name, depth first.

  atspi_drive.py events              prints "shown|hidden ROLE NAME: ENTRIES" for every popup
                                     menu shown or hidden, after a line "listening" (Qt leaves
                                     popups out of the application's tree: they show as events)
  atspi_drive.py set NAME TEXT       sets the text of the field NAME
  atspi_drive.py press NAME          presses the push button NAME
  atspi_drive.py focus ROLE [NAME]   gives the keyboard focus to the first ROLE (or its field)
  atspi_drive.py name ROLE           prints the name of the first ROLE (a combo box's shown text)
  atspi_drive.py result              prints the text of the multi-line result box
  atspi_drive.py box NAME            prints x y width height of NAME inside its window
"""
import sys
import warnings

import gi

gi.require_version("Atspi", "2.0")
from gi.repository import Atspi  # noqa: E402

# The binding offers atspi_action_get_name only under its deprecated name, get_action_name.
warnings.simplefilter("ignore", DeprecationWarning)


def find(node, matches):
    if matches(node):
        return node
    for index in range(node.get_child_count()):
        found = find(node.get_child_at_index(index), matches)
        if found is not None:
            return found
    return None


def lookup(matches, what):
    found = find(Atspi.get_desktop(0), matches)
    if found is None:
        sys.exit(f"no {what} in the accessibility tree")
    return found


def act(node, action):
    for candidate in [node] + [node.get_child_at_index(i) for i in range(node.get_child_count())]:
        if "Action" not in candidate.get_interfaces():
            continue
        names = [candidate.get_action_name(i) for i in range(candidate.get_n_actions())]
        if action in names:
            candidate.do_action(names.index(action))
            return
    sys.exit(f"{node.get_name()!r} has no action {action}")


def entries(menu):
    return "|".join(menu.get_child_at_index(i).get_name() for i in range(menu.get_child_count()))


def on_event(event):
    node = event.source
    if node.get_role() == Atspi.Role.POPUP_MENU:
        state = "shown" if event.detail1 else "hidden"
        print(f"{state} popup menu {node.get_name()}: {entries(node)}", flush=True)


# Roles are given as AT-SPI used to name them ("push button"); newer AT-SPI names some differently
# ("button"), so they are compared as roles, not as names.
def role(words):
    return getattr(Atspi.Role, words.upper().replace(" ", "_"))


def named(role, name=None):
    return lambda node: node.get_role() == role and (name is None or node.get_name() == name)


def main(command, *args):
    if command == "events":
        listener = Atspi.EventListener.new(on_event)
        listener.register("object:state-changed:showing")
        print("listening", flush=True)
        Atspi.event_main()
    elif command == "set":
        field = lookup(named(Atspi.Role.TEXT, args[0]), f"field {args[0]}")
        Atspi.EditableText.set_text_contents(field, args[1])
    elif command == "press":
        act(lookup(named(Atspi.Role.PUSH_BUTTON, args[0]), f"button {args[0]}"), "Press")
    elif command == "focus":
        act(lookup(lambda node: node.get_role() == role(args[0]) and args[1:] in ((), (node.get_name(),)),
                   " ".join(args)), "SetFocus")
    elif command == "name":
        print(lookup(lambda node: node.get_role() == role(args[0]), args[0]).get_name())
    elif command == "result":
        box = lookup(lambda node: node.get_role() == Atspi.Role.TEXT
                     and node.get_state_set().contains(Atspi.StateType.MULTI_LINE), "result box")
        print(Atspi.Text.get_text(box, 0, box.get_character_count()))
    elif command == "box":
        extents = lookup(lambda node: node.get_name() == args[0], args[0]).get_extents(Atspi.CoordType.WINDOW)
        print(extents.x, extents.y, extents.width, extents.height)
    else:
        sys.exit(f"unknown command {command}")


if __name__ == "__main__":
    main(*sys.argv[1:])
