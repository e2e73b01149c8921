#!/usr/bin/env python3
"""Writes the forwards of a set of shared libraries the player opens on first use: one
VYR_FORWARD line for every function of theirs the tree calls, its prototype taken from the
installed headers, so the compiler checks each one against the library's own declaration.

  tools/gen_forwards.py ffmpeg   -> src/media/ffmpeg_forwards.inc
  tools/gen_forwards.py gtk      -> src/platform/gtk/gtk_forwards.inc

Run it again when the tree calls a function of theirs that is not in the list yet (the link
then fails naming it)."""
import pathlib
import re
import sys

ROOT = pathlib.Path(__file__).resolve().parent.parent
MULTIARCH = pathlib.Path("/usr/include/x86_64-linux-gnu")
GTK = pathlib.Path("/usr/include/gtk-3.0")

SETS = {
    "ffmpeg": {
        "output": "src/media/ffmpeg_forwards.inc",
        "what": "FFmpeg",
        # Header folder, library name in the forwards; the library of a function is that of
        # the first header declaring it.
        "headers": [(MULTIARCH / "libavutil", "avutil"), (MULTIARCH / "libavcodec", "avcodec"),
                    (MULTIARCH / "libavformat", "avformat"),
                    (MULTIARCH / "libswresample", "swresample"),
                    (MULTIARCH / "libswscale", "swscale")],
        "calls": r"(?:av|avcodec|avformat|avio|swr|sws)_[A-Za-z0-9_]+",
        "skip": "ffmpeg_on_demand",
    },
    "gtk": {
        "output": "src/platform/gtk/gtk_forwards.inc",
        "what": "GTK",
        "headers": [(GTK / "gtk", "gtk"), (GTK / "unix-print/gtk", "gtk"), (GTK / "gdk", "gdk"),
                    (pathlib.Path("/usr/include/cairo/cairo.h"), "cairo")],
        "calls": r"(?:gtk|gdk|cairo)_[A-Za-z0-9_]+",
        "taken_as_values": True,  # a loop over gtk_widget_set_margin_start and its kin
        # GTK_WINDOW (x), GTK_IS_WINDOW (x) and GTK_TYPE_WINDOW call gtk_window_get_type.
        "types": r"\b(GTK|GDK)_(?:IS_|TYPE_)?([A-Z][A-Z0-9_]*)\b",
        "skip": "gtk_on_demand",
    },
}

# Attributes and declaration macros, those with arguments first.
ATTRIBUTES = re.compile(r"\b(?:av_alloc_size|av_printf_format|G_GNUC_\w+|GDK_DEPRECATED_IN_\w+_FOR|"
                        r"G_DEFINE_AUTOPTR_CLEANUP_FUNC)\s*\([^)]*\)|"
                        r"\b(?:av_warn_unused_result|attribute_deprecated|av_const|av_pure|"
                        r"av_malloc_attrib|av_noreturn|av_always_inline|cairo_public|"
                        r"G_BEGIN_DECLS|G_END_DECLS|GDK_AVAILABLE_IN_\w+|GDK_DEPRECATED_IN_\w+|"
                        r"G_GNUC_\w+)\b")
# A type declared by GObject's macro declares its _get_type function.
DECLARED_TYPE = re.compile(r"\bG_DECLARE_\w+_TYPE\s*\(\s*\w+\s*,\s*(\w+)\s*,[^)]*\)")


def called_names(config):
    calls = re.compile(r"\b(" + config["calls"] + r")\b" +
                       ("" if config.get("taken_as_values") else r"\s*\("))
    types = re.compile(config["types"]) if "types" in config else None
    names = set()
    for folder in ("src", "apps"):
        for path in (ROOT / folder).rglob("*"):
            if path.suffix not in (".cpp", ".h") or config["skip"] in path.name:
                continue
            text = path.read_text(errors="replace")
            names.update(calls.findall(text))
            if types:
                names.update(f"{prefix.lower()}_{rest.lower()}_get_type"
                             for prefix, rest in types.findall(text))
    return names


def headers(folder):
    if folder.is_file():
        return [folder]
    return sorted(folder.rglob("*.h"))


def declarations(config):
    found = {}
    for folder, library in config["headers"]:
        for header in headers(folder):
            text = re.sub(r"/\*.*?\*/", " ", header.read_text(errors="replace"), flags=re.S)
            text = re.sub(r"//[^\n]*", " ", text)
            text = re.sub(r"#[^\n]*", " ", text)
            for name in DECLARED_TYPE.findall(text):
                found.setdefault(f"{name}_get_type", (library, "GType", "void"))
            text = DECLARED_TYPE.sub(";", text)
            for statement in text.split(";"):
                statement = " ".join(ATTRIBUTES.sub(" ", statement).split())
                match = re.search(r"([A-Za-z_][\w\s\*]*?)\b(\w+)\s*\((.*)\)\s*$", statement)
                if not match or "static" in statement or "typedef" in statement:
                    continue
                name = match.group(2)
                if name in found:
                    continue
                kind = ATTRIBUTES.sub(" ", match.group(1)).split("}")[-1].strip()
                found[name] = (library, " ".join(kind.split()), match.group(3))
    return found


def split_parameters(text):
    parts, depth, current = [], 0, ""
    for c in text:
        if c == "(":
            depth += 1
        elif c == ")":
            depth -= 1
        if c == "," and depth == 0:
            parts.append(current.strip())
            current = ""
        else:
            current += c
    if current.strip():
        parts.append(current.strip())
    return parts


def forward(name, library, result, parameters):
    parts = split_parameters(parameters)
    if parts == ["void"] or not parts:
        return f"VYR_FORWARD({library}, {result}, {name}, (), ())"
    if any(p == "..." for p in parts):
        sys.exit(f"{name} takes variable arguments: call its non-variadic form instead")
    typed, names = [], []
    for i, part in enumerate(parts):
        part = ATTRIBUTES.sub(" ", part).strip()
        arg = f"a{i}"
        array = re.search(r"(\w+)\s*(\[[^\]]*\])\s*$", part)
        if "(*" in part:
            part = re.sub(r"\(\*\s*\w*\s*\)", f"(*{arg})", part, count=1)
        elif array:
            part = part[: array.start()] + arg + array.group(2)
        else:
            part = re.sub(r"(\w+)\s*$", arg, part) if re.search(r"[\s\*]\w+\s*$", part) else part + " " + arg
        typed.append(" ".join(part.split()))
        names.append(arg)
    return f"VYR_FORWARD({library}, {result}, {name}, ({', '.join(typed)}), ({', '.join(names)}))"


def main():
    if len(sys.argv) != 2 or sys.argv[1] not in SETS:
        sys.exit("usage: tools/gen_forwards.py " + "|".join(SETS))
    which = sys.argv[1]
    config = SETS[which]
    known = declarations(config)
    lines = [f"// Generated by tools/gen_forwards.py {which} from the installed {config['what']} "
             "headers: every",
             f"// {config['what']} function the tree calls. Do not edit by hand."]
    for name in sorted(called_names(config)):
        if name not in known:
            continue  # an inline function or a macro of the headers, or no function at all
        library, result, parameters = known[name]
        lines.append(forward(name, library, result, parameters))
    (ROOT / config["output"]).write_text("\n".join(lines) + "\n")


main()
