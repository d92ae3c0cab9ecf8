#include "about/frmAbout.h"

#include "about/LinkLabel.h"
#include "platform/Controls.h"
#include "platform/Fonts.h"
#include "platform/ShellExecute.h"
#include "platform/Twips.h"

#include <QFrame>
#include <QGroupBox>
#include <QLabel>
#include <QPixmap>
#include <QPlainTextEdit>

namespace
{

constexpr int kClientWidth = 6135; // twips
constexpr int kClientHeight = 6315;

// The maker's statement; every new about window starts with it.
const char *const kStatement
    = "Tellvane Software began with a single question from a friend who read the evening news "
      "on a small local station: why did the prompter cost more than the camera? We wrote the "
      "first version of this program over one winter so that she could read her scripts from an "
      "ordinary computer screen, and we have been answering letters from presenters ever since.\n"
      "\n"
      "Our aim is simple. A presenter should be able to look the audience in the eye, keep a "
      "steady pace and never lose the thread, whether the audience is a studio camera, a lecture "
      "hall, a church congregation or a video call. Everything in Tellvane Professional serves "
      "that aim: large clear type, colours you choose for your room and your eyes, a reading line "
      "that tells you where you are, and a speed you can change with one key while you talk.\n"
      "\n"
      "We believe that good tools are quiet. The program keeps its settings in one small text "
      "file beside it, asks for nothing it does not need, never reaches out to the network on its "
      "own and leaves your scripts as plain text that any editor can open. When you close it, it "
      "is gone; nothing runs in the background and nothing is collected about you.\n"
      "\n"
      "The voice recorder grew out of the same letters. Presenters told us that they rehearse "
      "aloud, and that the best way to hear a script is to hear yourself read it. So you can "
      "record a take while the text scrolls, play it back at once, and keep it as a WAV file and "
      "an MP3 file to send to a producer, a teacher or a friend.\n"
      "\n"
      "Tellvane Professional stands on the shoulders of others. Its MP3 files are made by LAME, "
      "the free encoder that volunteers have refined over many years, and we are grateful to "
      "them for sharing their work. We follow their example in our own small way: the format of "
      "the settings file is described in the help page, so that you can read it, change it by "
      "hand and carry it from one computer to the next.\n"
      "\n"
      "We are a small team, and we read every message we receive. Many of the features in this "
      "version were asked for by the people who use it every day: the hold key, the quick "
      "switch between the full window and the prompt alone, the choice of MP3 quality. If "
      "something in the program gets in your way, or if there is something you wish it did, "
      "please tell us. We would rather hear about a small annoyance than have you put up with it.\n"
      "\n"
      "Thank you for choosing Tellvane Professional. We hope it helps you speak with confidence, "
      "and that your audience remembers what you said rather than how you read it.";

LinkLabel *makeLink(QWidget *parent, const QString &address, int left, int top, int width)
{
    auto *link = new LinkLabel(address, parent);
    link->setGeometry(twipsRect(left, top, width, 195));
    return link;
}

// A one-pixel separator in the default line colour, the window text colour.
QFrame *makeLine(QWidget *parent, int left, int right, int top)
{
    auto *line = new QFrame(parent);
    line->setFrameShape(QFrame::HLine);
    line->setFrameShadow(QFrame::Plain);
    line->setLineWidth(1);
    line->setGeometry(
        twipsToPixels(left), twipsToPixels(top), twipsToPixels(right) - twipsToPixels(left) + 1, 1);
    return line;
}

} // namespace

frmAbout::frmAbout(QWidget *parent)
    : ModalForm(parent)
{
    buildWindow();
    connectControls();
}

void frmAbout::buildWindow()
{
    setUpFixedWindow(this, QStringLiteral("About Tellvane"), kClientWidth, kClientHeight);

    Frame1 = new QGroupBox(this);
    Frame1->setFont(controlFont());
    Frame1->setGeometry(twipsRect(120, 0, 5895, 6195));

    Image1 = new QLabel(Frame1);
    Image1->setGeometry(twipsRect(120, 240, 1920, 675));
    Image1->setPixmap(QPixmap(QStringLiteral(":/logo.png")));

    Label1 = makeLabel(Frame1, QStringLiteral("Tellvane Professional"), 2520, 360, 2595, 255);
    Label1->setAlignment(Qt::AlignHCenter | Qt::AlignTop);
    Label2
        = makeLabel(Frame1, QStringLiteral("\u00A9 2026 Tellvane Software"), 2460, 660, 2835, 255);
    Label2->setAlignment(Qt::AlignHCenter | Qt::AlignTop);

    Text1 = new QPlainTextEdit(Frame1);
    Text1->setFont(controlFont());
    Text1->setGeometry(twipsRect(120, 1080, 5655, 2235));
    Text1->setVerticalScrollBarPolicy(Qt::ScrollBarAlwaysOn);
    Text1->setPlainText(QString::fromUtf8(kStatement));

    Label3 = makeLabel(
        Frame1, QStringLiteral("Also available from www.tellvane.example:"), 120, 3480, 3615, 255);
    Label4 = makeLink(Frame1, QStringLiteral("www.tellvane.example/cuecards"), 120, 3780, 2715);
    Label5 = makeLink(Frame1, QStringLiteral("www.tellvane.example/clock"), 120, 4080, 2235);
    Label6 = makeLink(Frame1, QStringLiteral("www.tellvane.example/scriptbook"), 120, 4380, 2715);
    Label7 = makeLink(Frame1, QStringLiteral("www.tellvane.example/voicelog"), 120, 4680, 2715);
    Label8 = makeLink(Frame1, QStringLiteral("www.tellvane.example/subtitler"), 120, 4980, 2715);
    Line1 = makeLine(Frame1, 120, 5760, 5340);
    Label9 = makeLabel(
        Frame1, QStringLiteral("Tellvane Professional Uses LAME"), 120, 5460, 2535, 255);
    Label10 = makeLink(Frame1, QStringLiteral("lame.sourceforge.io"), 120, 5760, 1875);
    Line2 = makeLine(Frame1, 120, 5760, 6060);

    // The statement is the one control that takes the focus.
    for (QLabel *label : { Image1, Label1, Label2, Label3, Label9 })
        label->setFocusPolicy(Qt::NoFocus);
    Text1->setFocus();

    setObjectName(QStringLiteral("frmAbout"));
    nameControls({ { Frame1, "Frame1" }, { Image1, "Image1" }, { Label1, "Label1" },
        { Label2, "Label2" }, { Text1, "Text1" }, { Label3, "Label3" }, { Label4, "Label4" },
        { Label5, "Label5" }, { Label6, "Label6" }, { Label7, "Label7" }, { Label8, "Label8" },
        { Line1, "Line1" }, { Label9, "Label9" }, { Label10, "Label10" }, { Line2, "Line2" } });
}

void frmAbout::connectControls()
{
    connect(Label4, &LinkLabel::clicked, this, &frmAbout::Label4_Click);
    connect(Label5, &LinkLabel::clicked, this, &frmAbout::Label5_Click);
    connect(Label6, &LinkLabel::clicked, this, &frmAbout::Label6_Click);
    connect(Label7, &LinkLabel::clicked, this, &frmAbout::Label7_Click);
    connect(Label8, &LinkLabel::clicked, this, &frmAbout::Label8_Click);
    connect(Label10, &LinkLabel::clicked, this, &frmAbout::Label10_Click);
}

// Each label opens exactly the address it shows.
void frmAbout::openAddress(const LinkLabel *link)
{
    ShellExecuteA(this, link->text());
}

void frmAbout::Label4_Click()
{
    openAddress(Label4);
}

void frmAbout::Label5_Click()
{
    openAddress(Label5);
}

void frmAbout::Label6_Click()
{
    openAddress(Label6);
}

void frmAbout::Label7_Click()
{
    openAddress(Label7);
}

void frmAbout::Label8_Click()
{
    openAddress(Label8);
}

void frmAbout::Label10_Click()
{
    openAddress(Label10);
}
