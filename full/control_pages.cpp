#include "control_pages.h"

#include "core/text_conversions.h"

// Compiled with GBK as the execution character set. The control page declares
// gb2312, so a browser posts each button's label percent-encoded in GBK.

// Up to the song title, which stands inside the open bold element of a red paragraph.
const std::string_view ControlPageHead =
    "<html>\r\n"
    " <head>\r\n"
    "  <meta http-equiv=\"Content-Type\" content=\"text/html; charset=gb2312\" />\r\n"
    "  <meta name=\"viewport\" content=\"user-scalable=0\">\r\n"
    " <style>\r\n"
    " html, body {width: 100%;height: 100%;margin: 0;padding: 0;} \r\n"
    "  body{ text-align:center} \r\n"
    "  .div{ margin:0 auto;width:800px; height:570px;position: relative;top: 50%;margin-top: -285px;}\r\n"
    ".abc{height:90px;width:180px;font-size:50px}\r\n"
    "  .abcd{height:90px;width:240px;font-size:50px}  \r\n"
    "  </style> \r\n"
    " <title>Tavrelo</title>\r\n"
    " </head>\r\n"
    " <body>\r\n"
    " <div class=\"div\">\r\n"
    "  <form action=\"\" method=\"post\" name=\"form1\" target=\"_self\" id=\"form1\">\r\n"
    "      <p style=\"font-size:30px;color:#ff0000\"><b>";

// After the song title: the heading, six player buttons, password field and shutdown button.
const std::string_view ControlPageTail =
    "</b></p><p style=\"font-size:40px\"><b>Tavrelo</b></p>\r\n"
    "    <h>\r\n"
    "       <label>\r\n"
    "       <input class=\"abc\" name=\"run_s\" type=\"submit\" id=\"run\" value=\"上一首\"/></label>\r\n"
    "     </h>&nbsp;&nbsp;&nbsp;&nbsp;&nbsp;&nbsp;&nbsp;&nbsp;&nbsp;&nbsp;\r\n"
    "    <h>\r\n"
    "       <label>\r\n"
    "       <input class=\"abcd\" name=\"run_s\" type=\"submit\" id=\"run\" value=\"播放/暂停\"/></label>\r\n"
    "     </h>&nbsp;&nbsp;&nbsp;&nbsp;&nbsp;&nbsp;&nbsp;&nbsp;&nbsp;&nbsp;\r\n"
    "    <h>\r\n"
    "       <label>\r\n"
    "       <input class=\"abc\" name=\"run_s\" type=\"submit\" id=\"run\" value=\"下一首\"/></label>\r\n"
    "      </h></br></br></br></br>\r\n"
    "\t <h>\r\n"
    "       <label>\r\n"
    "       <input class=\"abc\" name=\"run_s\" type=\"submit\" id=\"run\" value=\"音量加\"/></label>\r\n"
    "      </h>&nbsp;&nbsp;&nbsp;&nbsp;&nbsp;&nbsp;&nbsp;&nbsp;&nbsp;&nbsp;\r\n"
    "     <h>\r\n"
    "       <label>\r\n"
    "       <input class=\"abcd\" name=\"run_s\" type=\"submit\" id=\"run\" value=\"喜欢歌曲\"/></label>\r\n"
    "      </h>&nbsp;&nbsp;&nbsp;&nbsp;&nbsp;&nbsp;&nbsp;&nbsp;&nbsp;&nbsp;\r\n"
    "\t <h>\r\n"
    "       <label>\r\n"
    "       <input class=\"abc\" name=\"run_s\" type=\"submit\" id=\"run\" value=\"音量减\"/></label>\r\n"
    "      </h></br></br>\r\n"
    "     <p style=\"font-size:30px\">\r\n"
    "        密码:\r\n"
    "       <label>\r\n"
    "       <input name=\"psw_s\" type=\"password\" maxlength=\"4\" id=\"psw\" style=\"height:35px;width:150px;font-size:30px\"/></label>\r\n"
    "      </p>\r\n"
    "     <h>\r\n"
    "       <label>\r\n"
    "       <input name=\"run_s\" type=\"submit\" id=\"run\" value=\"关机\"style=\"height:45px;width:90px;font-size:30px\"/></label>\r\n"
    "      </h>\r\n"
    "   </form>\r\n"
    "   </div>\r\n"
    "   </body>\r\n"
    "   </html>";

// Answers an accepted shutdown with an alert.
const std::string_view ShutdownDonePage =
    "<html>\r\n"
    "<head>\r\n"
    "<script>\r\n"
    "function load()\r\n"
    "{\r\n"
    "alert(\"关机执行成功！\");\r\n"
    "}\r\n"
    "</script>\r\n"
    "</head>\r\n"
    "<body onload=\"load()\">\r\n"
    "</body>\r\n"
    "</html>";

// Answers a shutdown press without the right password with an alert.
const std::string_view WrongPasswordPage =
    "<html>\r\n"
    "<head>\r\n"
    "<script>\r\n"
    "function load()\r\n"
    "{\r\n"
    "alert(\"密码错误！\");\r\n"
    "}\r\n"
    "</script>\r\n"
    "</head>\r\n"
    "<body onload=\"load()\">\r\n"
    "</body>\r\n"
    "</html>";

Text buildControlPage(std::string_view titleHtml) {
    return concatText({ControlPageHead, titleHtml, ControlPageTail});
}
