# The real Orvanta read over AT-SPI, as a screen reader reads it: a private
# session bus with its accessibility bus, the demo portal, LANG=C, and the
# GTK platform theme GNOME installs with Qt (its larger font once pushed the
# last toolbar buttons behind the overflow arrow).
# Usage (under xvfb-run and dbus-run-session): atspi_check.py ORVANTA DEMO_PORTAL
import os, subprocess, sys, tempfile, threading, time
import pyatspi

orvanta, portal_binary = sys.argv[1:3]
subprocess.Popen(['/usr/libexec/at-spi-bus-launcher', '--launch-immediately'])
home = tempfile.mkdtemp()
env = dict(os.environ, HOME=home, XDG_RUNTIME_DIR=home, XDG_CONFIG_HOME=home + '/c',
           XDG_DATA_HOME=home + '/d', XDG_CACHE_HOME=home + '/k', LANG='C', LC_ALL='C',
           QT_LINUX_ACCESSIBILITY_ALWAYS_ON='1', QT_QPA_PLATFORMTHEME='gtk3')
pyatspi.Registry.getDesktop(0)  # the registry runs before the program registers
portal = subprocess.Popen([portal_binary], stdout=subprocess.PIPE, text=True)
address = portal.stdout.readline().split()[1]
log = []
threading.Thread(target=lambda: log.extend(iter(portal.stdout.readline, '')), daemon=True).start()
app = subprocess.Popen([orvanta], env=dict(env, ORVANTA_PORTAL_URL=address))

def within(seconds, ready):  # polls until ready() holds
    end = time.time() + seconds
    while not ready() and time.time() < end:
        time.sleep(0.2)
    return ready()

def walk(node, found):  # (node, name, role, children); pages may drop nodes while loading
    try:
        children = [c for c in node if c]
    except Exception:
        return found
    for child in children:
        try:
            found.append((child, child.name, child.getRoleName(), child.childCount))
        except Exception:
            continue
        walk(child, found)
    return found

def logged(path, seconds=90):  # a request the portal really received
    return within(seconds, lambda: any(path in line for line in list(log)))

try:
    assert logged('/tonghang/infolist-mem.asp'), log
    # One application: GTK's own bridge, loaded with the theme, once registered an empty twin.
    apps = [a for a in pyatspi.Registry.getDesktop(0) if a and a.name == 'Orvanta']
    assert len(apps) == 1, [a.childCount for a in apps]
    orvanta_app = apps[0]
    assert 'Offscreen' not in [f.name for f in orvanta_app]
    def pages_read():  # the pages' trees arrive after their loads
        documents = [n for n in walk(orvanta_app, []) if n[2] == 'document web']
        return len(documents) >= 5 and all(children for _, _, _, children in documents)
    assert within(60, pages_read), 'the five pages never showed their contents'
    # Drawn in software: no OpenGL driver (Mesa's with its LLVM) in any of its processes.
    def tree(pid):
        children = subprocess.run(['pgrep', '-P', str(pid)], capture_output=True, text=True)
        return [pid] + [p for c in children.stdout.split() for p in tree(int(c))]
    processes = tree(app.pid)
    maps = ''.join(open(f'/proc/{pid}/maps').read() for pid in processes)
    assert '_dri.so' not in maps and 'libLLVM' not in maps, 'an OpenGL driver is loaded'
    # Its renderers run V8 in its small-memory mode; no second zygote waits for
    # helpers that never come.
    commands = [open(f'/proc/{pid}/cmdline').read() for pid in processes]
    assert any('--type=renderer' in c and '--lite-mode' in c for c in commands), 'no lite V8'
    assert not any('--no-zygote-sandbox' in c for c in commands), 'an unsandboxed zygote runs'
    # The first of a name and role, as a screen reader meets it.
    nodes = dict(((name, role), node) for node, name, role, _ in reversed(walk(orvanta_app, [])))
    for expected in [('工具栏', 'tool bar'), ('注销', 'push button'), ('查找', 'filler'),
                     ('隐藏此控制面板', 'push button'), ('广东', 'link'), ('主页面', 'panel'),
                     ('同行对话交流', 'panel'), ('同行协作面板', 'panel')]:
        assert expected in nodes, expected
    showing = nodes[('注销', 'push button')].getState().contains(pyatspi.STATE_SHOWING)
    assert showing, 'the last toolbar button is hidden'
    action = nodes[('广东', 'link')].queryAction()
    action.doAction([action.getName(i) for i in range(action.nActions)].index('Press'))
    assert logged('/tonghang/allcom.asp?city=%B9%E3%B6%AB', 30)  # 广东 in GBK
    print('AT-SPI: frames, documents, names, roles and the link action as expected')
finally:
    app.kill()
    portal.kill()
