#include "tests/desktop/x_display.h"

#include <QElapsedTimer>
#include <QProcessEnvironment>
#include <QStandardPaths>
#include <QThread>

#include <xcb/xcb.h>

#include <cstdlib>
#include <cstring>

namespace
{
const int startLimitMs = 10000;

xcb_atom_t Atom(xcb_connection_t* connection, const char* name)
{
    xcb_intern_atom_reply_t* reply = xcb_intern_atom_reply(
        connection, xcb_intern_atom(connection, 0, uint16_t(std::strlen(name)), name), nullptr);
    xcb_atom_t atom = reply ? reply->atom : xcb_atom_t(XCB_ATOM_NONE);
    std::free(reply);
    return atom;
}

// A round trip: everything sent before has been done by the server.
void Sync(xcb_connection_t* connection)
{
    std::free(xcb_get_input_focus_reply(connection, xcb_get_input_focus(connection), nullptr));
}

xcb_window_t RootOf(xcb_connection_t* connection)
{
    return xcb_setup_roots_iterator(xcb_get_setup(connection)).data->root;
}
} // namespace

bool WaitUntil(const std::function<bool()>& done, int limitMs)
{
    QElapsedTimer clock;
    clock.start();
    for (;;) {
        if (done())
            return true;
        if (clock.elapsed() > limitMs)
            return false;
        QThread::msleep(50);
    }
}

XDisplay::XDisplay()
{
    QString xvfb = QStandardPaths::findExecutable("Xvfb");
    xdotool_ = QStandardPaths::findExecutable("xdotool");
    if (xvfb.isEmpty()) {
        unavailable_ = "Xvfb is not installed";
        return;
    }
    if (xdotool_.isEmpty()) {
        unavailable_ = "xdotool is not installed";
        return;
    }
    // The server writes the display number it took to its standard output once it accepts
    // clients; no number is guessed, so that tests running side by side never meet.
    server_.setProcessChannelMode(QProcess::SeparateChannels);
    server_.start(xvfb, {"-displayfd", "1", "-screen", "0", "1024x768x24", "-nolisten", "tcp"});
    if (!server_.waitForStarted(startLimitMs)) {
        unavailable_ = "Xvfb did not start: " + server_.errorString();
        return;
    }
    QByteArray said;
    QElapsedTimer clock;
    clock.start();
    while (!said.contains('\n') && clock.elapsed() < startLimitMs &&
           server_.state() == QProcess::Running) {
        server_.waitForReadyRead(100);
        said += server_.readAllStandardOutput();
    }
    bool ok = false;
    number_ = said.trimmed().toInt(&ok);
    if (!ok) {
        number_ = -1;
        unavailable_ = "Xvfb gave no display: " +
                       QString::fromLocal8Bit(server_.readAllStandardError()).trimmed();
        return;
    }
    connection_ = xcb_connect(Name().toLatin1().constData(), nullptr);
    if (xcb_connection_has_error(connection_)) {
        xcb_disconnect(connection_);
        connection_ = nullptr;
        unavailable_ = "no connection to Xvfb on " + Name();
    }
}

XDisplay::~XDisplay()
{
    if (connection_)
        xcb_disconnect(connection_);
    if (server_.state() != QProcess::NotRunning) {
        server_.terminate();
        if (!server_.waitForFinished(startLimitMs)) {
            server_.kill();
            server_.waitForFinished();
        }
    }
}

QString XDisplay::Name() const
{
    return ":" + QString::number(number_);
}

QString XDisplay::Xdo(const QStringList& args, int* code) const
{
    QProcess tool;
    QProcessEnvironment env = QProcessEnvironment::systemEnvironment();
    env.insert("DISPLAY", Name());
    tool.setProcessEnvironment(env);
    tool.start(xdotool_, args);
    bool ended = tool.waitForFinished(startLimitMs);
    if (code)
        *code = ended && tool.exitStatus() == QProcess::NormalExit ? tool.exitCode() : -1;
    return QString::fromLocal8Bit(tool.readAllStandardOutput()).trimmed();
}

std::vector<XWindowId> XDisplay::WindowsOf(qint64 pid) const
{
    std::vector<XWindowId> windows;
    for (const QString& line :
         Xdo({"search", "--onlyvisible", "--pid", QString::number(pid)}).split('\n'))
        if (XWindowId id = line.trimmed().toULong())
            windows.push_back(id);
    return windows;
}

WindowGeometry XDisplay::Geometry(XWindowId window) const
{
    WindowGeometry g;
    for (const QString& line :
         Xdo({"getwindowgeometry", "--shell", QString::number(window)}).split('\n')) {
        QStringList pair = line.trimmed().split('=');
        if (pair.size() != 2)
            continue;
        int value = pair[1].toInt();
        if (pair[0] == "X")
            g.x = value;
        else if (pair[0] == "Y")
            g.y = value;
        else if (pair[0] == "WIDTH")
            g.width = value;
        else if (pair[0] == "HEIGHT")
            g.height = value;
    }
    return g;
}

XWindowId XDisplay::Focus() const
{
    if (!connection_)
        return 0;
    xcb_get_input_focus_reply_t* reply =
        xcb_get_input_focus_reply(connection_, xcb_get_input_focus(connection_), nullptr);
    XWindowId focus =
        reply && reply->focus > xcb_window_t(XCB_INPUT_FOCUS_POINTER_ROOT) ? reply->focus : 0;
    std::free(reply);
    return focus;
}

void XDisplay::Tap(XWindowId window, int x, int y) const
{
    Xdo({"mousemove", "--window", QString::number(window), QString::number(x), QString::number(y),
         "click", "1"});
}

void XDisplay::MovePointer(XWindowId window, int x, int y) const
{
    Xdo({"mousemove", "--window", QString::number(window), QString::number(x), QString::number(y)});
}

void XDisplay::Type(const QString& text) const
{
    Xdo({"type", "--delay", "20", text});
}

void XDisplay::Key(const QString& keys) const
{
    Xdo(QStringList{"key"} + keys.split(' ', Qt::SkipEmptyParts));
}

void XDisplay::FocusRoot() const
{
    if (!connection_)
        return;
    xcb_set_input_focus(connection_, XCB_INPUT_FOCUS_NONE, RootOf(connection_), XCB_CURRENT_TIME);
    Sync(connection_);
}

bool XDisplay::RequestClose(XWindowId window) const
{
    if (!connection_)
        return false;
    xcb_client_message_event_t message = {};
    message.response_type = XCB_CLIENT_MESSAGE;
    message.format = 32;
    message.window = xcb_window_t(window);
    message.type = Atom(connection_, "WM_PROTOCOLS");
    message.data.data32[0] = Atom(connection_, "WM_DELETE_WINDOW");
    message.data.data32[1] = XCB_CURRENT_TIME;
    xcb_void_cookie_t sent =
        xcb_send_event_checked(connection_, 0, xcb_window_t(window), XCB_EVENT_MASK_NO_EVENT,
                               reinterpret_cast<const char*>(&message));
    xcb_generic_error_t* error = xcb_request_check(connection_, sent);
    std::free(error);
    return error == nullptr;
}

XWindowId XDisplay::Cover(const WindowGeometry& area)
{
    if (!connection_)
        return 0;
    xcb_screen_t* screen = xcb_setup_roots_iterator(xcb_get_setup(connection_)).data;
    xcb_window_t cover = xcb_generate_id(connection_);
    uint32_t white = screen->white_pixel;
    xcb_create_window(connection_, XCB_COPY_FROM_PARENT, cover, screen->root, int16_t(area.x),
                      int16_t(area.y), uint16_t(area.width), uint16_t(area.height), 0,
                      XCB_WINDOW_CLASS_INPUT_OUTPUT, screen->root_visual, XCB_CW_BACK_PIXEL,
                      &white);
    xcb_map_window(connection_, cover);
    Sync(connection_);
    return cover;
}

std::vector<XWindowId> XDisplay::Stacking() const
{
    std::vector<XWindowId> stack;
    if (!connection_)
        return stack;
    xcb_query_tree_reply_t* tree = xcb_query_tree_reply(
        connection_, xcb_query_tree(connection_, RootOf(connection_)), nullptr);
    if (!tree)
        return stack;
    xcb_window_t* children = xcb_query_tree_children(tree);
    for (int i = 0; i < xcb_query_tree_children_length(tree); ++i)
        stack.push_back(children[i]);
    std::free(tree);
    return stack;
}
