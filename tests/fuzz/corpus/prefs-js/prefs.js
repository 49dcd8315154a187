# Mozilla User Preferences

user_pref("browser.startup.homepage_override.mstone", "27.0");
user_pref("general.useragent.locale", "fr-FR");
user_pref("print.print_footerleft", "Café");
user_pref("browser.startup.homepage", "https://www.google.com/firefox");
user_pref("browser.startup.page", 1);
user_pref("browser.search.defaultengine", "Google");
user_pref("browser.search.defaultenginename", "Google");
user_pref("browser.search.selectedEngine", "Google");
