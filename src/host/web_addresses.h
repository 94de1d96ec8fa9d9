// Web pages the plug-in opens through the shell.
#pragma once

// Home page of the host's maker, opened after a warning.
#define URL_MAKER_HOME "http://www.rimarts.co.jp/"
// Home page of the plug-in's author, behind the link in the settings dialog.
#define URL_AUTHOR_HOME "https://orvek.example.org/"
